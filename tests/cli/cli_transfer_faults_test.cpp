// pellam-cli read, write and restore against simulated faults: what the
// EEPROM holds afterwards, the exit status and the message. The
// interrupted write runs pellam-cli in a child process and sends it SIGINT
// part way.
#include "core/edid/edid_bytes.h"
#include "core/edid/edid_image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::CliRun;
using test::readFile;
using test::runCli;
using test::TempDir;
using test::writeFile;

// The faults of the simulated hardware for the life of the object.
class SimulatedFaults {
public:
    explicit SimulatedFaults(const std::string& list) {
        setenv("PELLAM_SIMULATE_FAULTS", list.c_str(), 1);
    }
    ~SimulatedFaults() { unsetenv("PELLAM_SIMULATE_FAULTS"); }
};

std::string bytesOf(std::span<const Byte> bytes) {
    return {bytes.begin(), bytes.end()};
}

// A sound EDID of that many blocks.
std::string edidOf(std::size_t blocks) {
    std::vector<Byte> bytes(blocks * 128, 0);
    const EdidImage& base = hdmiDefaultImage();
    std::copy_n(base.begin(), std::min<std::size_t>(256, bytes.size()), bytes.begin());
    for (std::size_t k = 1; k < blocks; ++k) {
        bytes[k * 128] = 0x02;
        bytes[k * 128 + 1] = 0x03;
        for (std::size_t i = 4; i < 127; ++i)
            bytes[k * 128 + i] = static_cast<Byte>(k * 13 + i);
    }
    bytes[126] = static_cast<Byte>(blocks - 1);
    applyBlockChecksums(bytes, true);
    return bytesOf(bytes);
}

struct Bench {
    Bench() {
        writeFile(dir.file("old.bin"), bytesOf(hdmiDefaultImage()));
        writeFile(dir.file("blank.bin"), std::string(256, '\xFF'));
    }
    // write IN with the options on the simulated sink preloaded with `from`;
    // the EEPROM's content afterwards in held().
    CliRun write(const std::string& in, std::vector<std::string> options,
                 const std::string& from = "old.bin", const char* verb = "write") {
        std::vector<std::string> args = {verb};
        args.insert(args.end(), options.begin(), options.end());
        args.insert(args.end(), {"--simulate", dir.file(from), "--sim-out", dir.file("held.bin"), in});
        std::filesystem::remove(dir.file("held.bin"));
        return runCli(args);
    }
    std::string held() { return readFile(dir.file("held.bin")); }

    TempDir dir;
    test::ScopedDataHome dataHome;
};

TEST(CliTransferFaults, FilesThatAreNoSoundEdidAreRefusedUnlessForced) {
    Bench b;
    const std::string good = edidOf(2);
    struct Case {
        const char* what;
        std::string bytes;
        const char* says;
    };
    std::string badChecksum = good;
    badChecksum[0x40] ^= 1;
    std::string extensionCount = good;
    extensionCount[126] = 3;
    extensionCount[127] = static_cast<char>(extensionCount[127] - 2);
    const Case cases[] = {
        {"100 bytes", good.substr(0, 100), "it has 100 bytes, not a whole number of 128-byte blocks"},
        {"a bad checksum", badChecksum, "block 0's checksum is"},
        {"byte 126", extensionCount, "byte 126 declares 4 blocks, the image has 2 blocks"},
        {"no header", std::string(256, '\x01'), "it does not start with the EDID header"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(b.dir.file("in.bin"), c.bytes);
        CliRun run = b.write(b.dir.file("in.bin"), {"--port", "USB"});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("nothing was written; --force writes it all the same."),
                  std::string::npos);
        EXPECT_EQ(run.out, "");
        EXPECT_FALSE(std::filesystem::exists(b.dir.file("held.bin"))) << "the sink was not opened";
        EXPECT_TRUE(b.dataHome.backupFiles().empty());

        run = b.write(b.dir.file("in.bin"), {"--port", "USB", "--force"});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(b.held().substr(0, c.bytes.size()), c.bytes) << "exactly the file's bytes";
        EXPECT_EQ(b.held().substr(c.bytes.size()), readFile(b.dir.file("old.bin")).substr(c.bytes.size()));
        for (const auto& backup : b.dataHome.backupFiles())
            std::filesystem::remove(backup);
    }
}

TEST(CliTransferFaults, EepromKindsTakeTheirSizesAndNoMore) {
    Bench b;
    writeFile(b.dir.file("one.bin"), edidOf(1));
    writeFile(b.dir.file("two.bin"), edidOf(2));
    writeFile(b.dir.file("four.bin"), edidOf(4));
    // A 24C01 takes a 128-byte file whole and refuses a 256-byte one.
    CliRun run = b.write(b.dir.file("one.bin"), {"--eeprom", "24C01"}, "blank.bin");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(b.held(), edidOf(1));
    run = b.write(b.dir.file("two.bin"), {"--eeprom", "24c21"}, "blank.bin");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("a 24C01/24C21 EEPROM holds 128"), std::string::npos) << run.err;

    // 512 bytes: a 24C04 on the USB adapter, an E-DDC sink on the DDC port.
    for (const std::vector<std::string>& options :
         {std::vector<std::string>{"--port", "USB", "--eeprom", "24C04"},
          std::vector<std::string>{"--port", "USB", "--fast", "--eeprom", "24C04"},
          std::vector<std::string>{"--port", "DDC", "--force"}}) {
        SCOPED_TRACE(options.back());
        run = b.write(b.dir.file("four.bin"), options, "blank.bin");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(b.held(), edidOf(4));
        EXPECT_NE(run.out.find("512 bytes"), std::string::npos) << run.out;
    }
    // Read back, the four blocks byte 126 declares.
    writeFile(b.dir.file("sink.bin"), edidOf(4));
    run = runCli({"read", "--port", "DDC", "--simulate", b.dir.file("sink.bin"), b.dir.file("out.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(b.dir.file("out.bin")), edidOf(4));
    EXPECT_NE(run.out.find("read: 512 bytes (4 blocks: base, CTA-861, CTA-861, CTA-861)"), std::string::npos);
}

TEST(CliTransferFaults, ReadSavesWhatItSaysAndNoEdidContentIsAnError) {
    Bench b;
    // Byte 126 = 0: 128 bytes, and the summary says 128.
    writeFile(b.dir.file("sink.bin"), edidOf(1) + std::string(128, '\x55'));
    CliRun run = runCli({"read", "--port", "USB", "--simulate", b.dir.file("sink.bin"), b.dir.file("out.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(b.dir.file("out.bin")), edidOf(1));
    EXPECT_NE(run.out.find("read: 128 bytes (1 block: base)"), std::string::npos) << run.out;
    // --bytes: a raw dump of as many as asked for.
    run = runCli({"read", "--port", "USB", "--bytes", "256", "--simulate", b.dir.file("sink.bin"), b.dir.file("raw.bin")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(b.dir.file("raw.bin")), readFile(b.dir.file("sink.bin")));
    EXPECT_NE(run.out.find("read: 256 bytes (raw)"), std::string::npos) << run.out;

    // A stuck SDA on a port: nothing is read, nothing saved.
    {
        const SimulatedFaults stuck("stuck-sda");
        run = runCli({"read", "--simulate", b.dir.file("sink.bin"), b.dir.file("stuck.bin")});
        EXPECT_EQ(run.status, 2);
        EXPECT_NE(run.err.find("SDA reads low on LPT1 before a start"), std::string::npos) << run.err;
        EXPECT_FALSE(std::filesystem::exists(b.dir.file("stuck.bin")));
    }
    // All FFh: no EDID content.
    run = runCli({"read", "--simulate", b.dir.file("blank.bin"), b.dir.file("ff.bin")});
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("no EDID content (blank EEPROM, no sink, or a stuck line)"), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(b.dir.file("ff.bin")));
}

TEST(CliTransferFaults, EachFaultHasItsOwnMessageAndTheUndoCommand) {
    struct Case {
        const char* faults;
        std::vector<std::string> options;
        int status;
        const char* says;
        bool touched; // the EEPROM changed: the undo line follows
    };
    const Case cases[] = {
        {"write-protect", {"--port", "USB"}, 1, "it is write-protected", true},
        {"write-cycle-us=10000", {"--port", "USB"}, 0, "write: PASS", true},
        {"unplug-at-write=300", {"--port", "USB"}, 2, "The USB adapter 'Korvo USB Debug Tool A' stopped answering", true},
        {"i2c-error=ENODEV@20", {"--port", "DDC"}, 2, "went away during the transfer (ENODEV)", true},
        {"i2c-error=ETIMEDOUT@20", {"--port", "DDC"}, 2, "(ETIMEDOUT)", true},
        {"stuck-scl", {"--port", "USB"}, 2, "SCL reads low on the USB adapter before a start", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.faults);
        Bench b;
        std::string image = readFile(b.dir.file("old.bin"));
        for (std::size_t i = 8; i < 126; ++i)
            image[i] = static_cast<char>(~image[i]);
        std::vector<Byte> bytes(image.begin(), image.end());
        applyBlockChecksums(bytes, true);
        writeFile(b.dir.file("in.bin"), bytesOf(bytes));
        const SimulatedFaults faults(c.faults);
        const CliRun run = b.write(b.dir.file("in.bin"), c.options);
        EXPECT_EQ(run.status, c.status) << run.out << run.err;
        EXPECT_NE((run.out + run.err).find(c.says), std::string::npos) << run.out << run.err;
        const bool undo = run.out.find("\nundo: pellam-cli restore " + c.options[0] + " " + c.options[1]) != std::string::npos;
        EXPECT_EQ(undo, c.touched && c.status != 0) << run.out;
        if (c.status == 0) {
            EXPECT_EQ(b.held(), bytesOf(bytes));
        } else if (!c.touched) {
            EXPECT_EQ(b.held(), readFile(b.dir.file("old.bin")));
        }
    }
}

TEST(CliTransferFaults, RestoreTakesBackupsOnly) {
    Bench b;
    writeFile(b.dir.file("text.bin"), std::string(256, '0'));
    CliRun run = b.write(b.dir.file("text.bin"), {}, "old.bin", "restore");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("is a text file, not a raw backup"), std::string::npos) << run.err;
    // A blank EEPROM's backup goes back only with --force.
    run = b.write(b.dir.file("blank.bin"), {}, "old.bin", "restore");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.err.find("does not start with the EDID header"), std::string::npos) << run.err;
    run = b.write(b.dir.file("blank.bin"), {"--force"}, "old.bin", "restore");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(b.held(), std::string(256, '\xFF'));
    // A 128-byte backup restores 128 bytes.
    writeFile(b.dir.file("small.bin"), edidOf(1));
    run = b.write(b.dir.file("small.bin"), {}, "old.bin", "restore");
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(b.held(), edidOf(1) + readFile(b.dir.file("old.bin")).substr(128));
}

// Ctrl-C part way through a write: the child finishes the byte under way,
// says what it wrote and how to undo it, and exits with 128 + SIGINT; the
// EEPROM holds the image up to that byte and its old content after.
TEST(CliTransferFaults, SigintMidWriteStopsCleanlyAndNamesTheUndo) {
    Bench b;
    std::string image = edidOf(2);
    for (std::size_t i = 8; i < 126; ++i)
        image[i] = static_cast<char>(image[i] ^ 0x5A);
    std::vector<Byte> bytes(image.begin(), image.end());
    applyBlockChecksums(bytes, true);
    image = bytesOf(bytes);
    writeFile(b.dir.file("in.bin"), image);

    int out[2];
    ASSERT_EQ(pipe(out), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        setenv("PELLAM_SIMULATE_PACE", "1", 1);
        execl(PELLAM_CLI_BINARY, "pellam-cli", "write", "--simulate", b.dir.file("old.bin").c_str(),
              "--sim-out", b.dir.file("held.bin").c_str(), b.dir.file("in.bin").c_str(),
              static_cast<char*>(nullptr));
        _exit(127);
    }
    close(out[1]);
    // The backup's line comes before the first byte is written.
    std::string output;
    char buffer[512];
    while (output.find('\n') == std::string::npos) {
        const ssize_t n = read(out[0], buffer, sizeof buffer);
        ASSERT_GT(n, 0) << "the child ended before saying where the backup is";
        output.append(buffer, static_cast<std::size_t>(n));
    }
    ASSERT_TRUE(output.starts_with("backup: ")) << output;
    usleep(300'000); // a few dozen of its 10 ms byte writes
    kill(child, SIGINT);
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        output.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal instead of stopping";
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);

    const std::string backup = output.substr(8, output.find('\n') - 8);
    EXPECT_EQ(readFile(backup), readFile(b.dir.file("old.bin")));
    const std::string stopped = "write: STOPPED by SIGINT, The write was stopped. ";
    const std::size_t at = output.find(stopped);
    ASSERT_NE(at, std::string::npos) << output;
    const std::size_t written = std::stoul(output.substr(at + stopped.size()));
    EXPECT_GT(written, 0u);
    EXPECT_LT(written, 256u);
    EXPECT_NE(output.find("\nundo: pellam-cli restore " + backup + "\n"), std::string::npos) << output;
    const std::string held = b.held();
    EXPECT_EQ(held.substr(0, written), image.substr(0, written));
    EXPECT_EQ(held.substr(written), readFile(b.dir.file("old.bin")).substr(written));
}

} // namespace
} // namespace pellam
