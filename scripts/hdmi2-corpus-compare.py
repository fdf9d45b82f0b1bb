#!/usr/bin/env python3
"""The HDMI 2.x section of the report against edid-decode, file by file.

For every EDID of a folder (default: the corpus, tests/data/corpus/edid) it
runs `pellam-cli analyse --hdmi2 --format json` and `edid-decode --check`, sorts
edid-decode's failures and warnings of the kinds the section judges into its
rules, and prints, per rule, the files both flag, the files only one of them
flags, and the totals.

    scripts/hdmi2-corpus-compare.py [--cli PATH] [--edid-decode PATH]
                                    [--stored DIR] [--verbose] [FOLDER]

--cli defaults to build/default/src/cli/pellam-cli, --edid-decode to the one on
PATH. --stored DIR reads the listings `<name>.edid-decode.txt` from DIR instead
of running edid-decode (tests/data/corpus/edid-decode holds them for the
corpus). Exit status: 0 when every file was compared, 2 when a tool failed.
"""

import argparse
import json
import pathlib
import re
import subprocess
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent

# The section's rules in report order (src/core/analyser/hdmi2_rules.h).
RULES = [
    "ForumBlockOnce", "ForumBlockAfterHdmiVsdb", "HdmiVsdbMaxTmdsClock",
    "MaxTmdsCharacterRate", "ScdcAbove340", "MaxFrlRate", "DscNeedsFrl", "VrrRanges",
    "VrrOrder", "ForumReservedBits", "OnceSpeakerAllocation", "OnceColorimetry",
    "OnceVideoCapability", "OnceYcbcr420Map", "OnceHdrStaticMetadata", "OnceOtherBlocks",
    "HdrReservedBits", "ColorimetryReservedBits", "Ycbcr420MapIndex", "Ycbcr420OnlyVics",
    "SvdVicsDefined", "Ycbcr420VicsDefined",
]

# edid-decode's messages of the kinds the section judges, and the rule each
# belongs to. A message of a data block that may appear once is sorted by the
# block it names.
ONCE = "Only one instance of this Data Block is allowed."
ONCE_BLOCKS = {
    "Speaker Allocation Data Block": "OnceSpeakerAllocation",
    "Colorimetry Data Block": "OnceColorimetry",
    "Video Capability Data Block": "OnceVideoCapability",
    "YCbCr 4:2:0 Capability Map Data Block": "OnceYcbcr420Map",
    "HDR Static Metadata Data Block": "OnceHdrStaticMetadata",
}
MESSAGES = [
    (r"Duplicate HDMI Forum VSDB/SCDB", "ForumBlockOnce"),
    (r"did not immediately follow the HDMI VSDB", "ForumBlockAfterHdmiVsdb"),
    (r"HDMI VSDB Max TMDS rate is > 340", "HdmiVsdbMaxTmdsClock"),
    (r"Max TMDS rate is > 0 and <= 340 or > 600", "MaxTmdsCharacterRate"),
    (r"Max Fixed Rate Link is|Unknown Max Fixed Rate Link", "MaxFrlRate"),
    (r"VRRmin > 48|VRRmax < 100", "VrrRanges"),
    (r"VRRmin == 0, but VRRmax isn't", "VrrOrder"),
    (r"HDR Static Metadata Data Block: Unknown EOTF", "HdrReservedBits"),
    (r"Reserved bits MD0-MD3 must be 0", "ColorimetryReservedBits"),
    (r"Capability Map Data Block: (Max index|Empty Capability Map)", "Ycbcr420MapIndex"),
    (r"4:2:0-only VIC \d+ is also a regular VIC|is also a YCbCr 4:2:0-only VIC",
     "Ycbcr420OnlyVics"),
    (r"^Video Data Block: Unknown VIC", "SvdVicsDefined"),
    (r"^YCbCr 4:2:0 Video Data Block: Unknown VIC", "Ycbcr420VicsDefined"),
]


def reference_rules(listing):
    """The rules edid-decode's failures and warnings of a listing fall under."""
    rules = set()
    in_findings = False
    for line in listing.splitlines():
        if line.startswith(("Warnings:", "Failures:")):
            in_findings = True
            continue
        if line.startswith("EDID conformity"):
            in_findings = False
        if not in_findings or not line.startswith("  "):
            continue
        message = line.strip()
        if message.endswith(ONCE):
            block = message[: -len(ONCE)].rstrip(": ")
            rules.add(ONCE_BLOCKS.get(block, "OnceOtherBlocks"))
            continue
        for pattern, rule in MESSAGES:
            if re.search(pattern, message):
                rules.add(rule)
    return rules


def section_rules(cli, path):
    """The rules the HDMI 2.x section fails for a file, with their lines."""
    run = subprocess.run([cli, "analyse", "--hdmi2", "--format", "json", str(path)],
                         capture_output=True, text=True)
    if run.returncode not in (0, 1):
        raise RuntimeError(f"{cli} failed on {path}: {run.stderr.strip()}")
    items = [i for i in json.loads(run.stdout)["files"][0]["items"] if i["section"] == "HDMI 2.x"]
    if len(items) != len(RULES):
        raise RuntimeError(f"{path}: {len(items)} HDMI 2.x lines, expected {len(RULES)}")
    return {RULES[k]: item["text"] for k, item in enumerate(items) if item["verdict"] == "FAIL"}


def listing_of(path, args):
    if args.stored:
        return (pathlib.Path(args.stored) / (path.stem + ".edid-decode.txt")).read_text()
    run = subprocess.run([args.edid_decode, "--check", str(path)], capture_output=True, text=True)
    return run.stdout + run.stderr


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("folder", nargs="?", default=str(ROOT / "tests/data/corpus/edid"))
    parser.add_argument("--cli", default=str(ROOT / "build/default/src/cli/pellam-cli"))
    parser.add_argument("--edid-decode", default="edid-decode")
    parser.add_argument("--stored", help="folder of stored edid-decode listings")
    parser.add_argument("--verbose", action="store_true", help="print the section's lines")
    args = parser.parse_args()

    files = sorted(pathlib.Path(args.folder).glob("*.bin"))
    both = {r: [] for r in RULES}
    only_reference = {r: [] for r in RULES}
    only_section = {r: [] for r in RULES}
    try:
        for path in files:
            ours = section_rules(args.cli, path)
            theirs = reference_rules(listing_of(path, args))
            for rule in RULES:
                target = (both if rule in ours and rule in theirs else
                          only_section if rule in ours else
                          only_reference if rule in theirs else None)
                if target is not None:
                    target[rule].append((path.name, ours.get(rule, "")))
    except (RuntimeError, OSError) as error:
        print(error, file=sys.stderr)
        return 2

    print(f"{len(files)} files\n")
    print(f"{'rule':26} {'both':>5} {'only edid-decode':>17} {'only HDMI 2.x':>14}")
    for rule in RULES:
        print(f"{rule:26} {len(both[rule]):5} {len(only_reference[rule]):17} "
              f"{len(only_section[rule]):14}")
    total = lambda table: sum(len(v) for v in table.values())
    print(f"{'total':26} {total(both):5} {total(only_reference):17} {total(only_section):14}")
    for title, table in (("Only edid-decode", only_reference), ("Only HDMI 2.x", only_section)):
        for rule in RULES:
            for name, line in table[rule]:
                print(f"{title}: {rule}: {name}" + (f"\n    {line}" if args.verbose and line else ""))
    if args.verbose:
        for rule in RULES:
            for name, line in both[rule]:
                print(f"Both: {rule}: {name}\n    {line}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
