#include "core/edid/edid_file.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <algorithm>
#include <tuple>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<Byte> bytes(std::initializer_list<int> values) {
    return std::vector<Byte>(values.begin(), values.end());
}

// Bytes left from an earlier read, which a reader must replace whole.
EdidBytes earlierBytes() {
    return EdidBytes(256, 0xEE);
}

std::vector<Byte> firstBytes(std::span<const Byte> buffer, std::size_t n) {
    return std::vector<Byte>(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
}

TEST(FileType, FollowsTheExactExtension) {
    const std::pair<const char*, EdidFileType> cases[] = {
        {"edid.bin", EdidFileType::RawBinary},
        {"EDID.BIN", EdidFileType::RawBinary},
        {"a.dat", EdidFileType::RawBinary},
        {"a.DAT", EdidFileType::RawBinary},
        {"/x/y.z/a.tar.bin", EdidFileType::RawBinary},
        {"a.txt", EdidFileType::ListText},
        {"a.TXT", EdidFileType::ListText},
        {"a.ddc", EdidFileType::LineText},
        {"edid.DDC", EdidFileType::Unrecognised},
        {"edid.Bin", EdidFileType::Unrecognised},
        {"edid.Txt", EdidFileType::Unrecognised},
        {"edid", EdidFileType::Unrecognised},
        {"edid.", EdidFileType::Unrecognised},
        {".bin", EdidFileType::Unrecognised}, // the first character is never the dot
        {"dir.bin/edid", EdidFileType::Unrecognised},
        {"edid.bin ", EdidFileType::Unrecognised},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(fileTypeFromPath(path), type) << '"' << path << '"';
}

struct TextCase {
    const char* name;
    std::string text;
    std::vector<Byte> stored;
    const char* error = nullptr; // message when the read fails at an item
};

void runTextCases(const std::vector<TextCase>& cases,
                  ReadResult (*reader)(std::string_view, EdidBytes&)) {
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EdidBytes buffer = earlierBytes();
        const ReadResult result = reader(c.text, buffer);
        if (c.error) {
            EXPECT_EQ(result.status, ReadResult::Status::Failed);
            EXPECT_EQ(result.message, c.error);
        } else {
            EXPECT_EQ(result.status, ReadResult::Status::Read) << result.message;
        }
        EXPECT_EQ(result.bytesStored, c.stored.size());
        EXPECT_EQ(buffer, c.stored) << "nothing of the earlier bytes stays";
    }
}

TEST(ListText, TokenisesLikeTheWrittenFormAndCommonVariants) {
    const std::vector<TextCase> cases = {
        {"tab form", "00\tFF\t\r\n01\t\r\n", bytes({0x00, 0xFF, 0x01})},
        {"lf and cr line ends", "01\n02\r03\r\n04", bytes({1, 2, 3, 4})},
        {"blank and control lines skipped", "\r\n  \t\n01\n\x01\x02\n02", bytes({1, 2})},
        {"comma list with trailing comma", "00,FF,FF,\n01,02,", bytes({0, 0xFF, 0xFF, 1, 2})},
        {"comma with blanks is one separator", "01 , 02 ,03", bytes({1, 2, 3})},
        {"blank runs", "01   02\t\t03", bytes({1, 2, 3})},
        {"empty item ends the line", "01,,02\n03", bytes({1, 3})},
        {"blanks between commas are an empty item", "01, ,02\n03", bytes({1, 3})},
        {"leading comma", ",01\n02", bytes({2})},
        {"quoted items", "\"0A\",\"0b\" \"c\"", bytes({0x0A, 0x0B, 0x0C})},
        {"quoted empty item ends the line", "01 \"\" 02\n03", bytes({1, 3})},
        {"low 8 bits of wide items", "1FF 100 FFFFFFFF", bytes({0xFF, 0x00, 0xFF})},
        {"lower case", "ab cd", bytes({0xAB, 0xCD})},
        {"utf-8 byte order mark",
         "\xEF\xBB\xBF"
         "01 02",
         bytes({1, 2})},
        {"nul ends the line", std::string("01 02\0 03\n04", 12), bytes({1, 2, 4})},
        {"empty file", "", bytes({})},
        {"bad item", "01 02 zz 03", bytes({1, 2}), "'0xzz' is not a valid integer value"},
        {"own 0x prefix", "01 0x02", bytes({1}), "'0x0x02' is not a valid integer value"},
        {"sign", "-1", bytes({}), "'0x-1' is not a valid integer value"},
        {"too wide", "01 100000000", bytes({1}), "'0x100000000' is not a valid integer value"},
        {"quoted blank", "\" \"", bytes({}), "'0x ' is not a valid integer value"},
    };
    runTextCases(cases, readListText);
}

TEST(ListText, StoresEveryItemUpToOneMoreThanAnEdidCanHave) {
    std::string text;
    for (int i = 0; i < 640; ++i)
        text += hexByte(static_cast<Byte>(i)) + " ";
    EdidBytes buffer;
    EXPECT_EQ(readListText(text, buffer).bytesStored, 640u);
    for (int i = 0; i < 640; ++i)
        ASSERT_EQ(buffer[static_cast<std::size_t>(i)], static_cast<Byte>(i));

    // What lies beyond is not read: not even a bad item there.
    std::string huge;
    for (std::size_t i = 0; i <= kMaxEdidSize; ++i)
        huge += "00 ";
    huge += "not-hex";
    const ReadResult result = readListText(huge, buffer);
    EXPECT_EQ(result.status, ReadResult::Status::Read);
    EXPECT_EQ(buffer.size(), kMaxEdidSize + 1);
}

TEST(LineText, TakesTheFirstItemOfEachLine) {
    const std::vector<TextCase> cases = {
        {"comment after the item", "00 comment\nFF\n", bytes({0x00, 0xFF})},
        {"cr lf reads like lf", "00 x\r\nFF\r\n01\r\n", bytes({0x00, 0xFF, 0x01})},
        {"tab and leading blanks", "\t 0A\tzz\n  0B", bytes({0x0A, 0x0B})},
        {"low 8 bits", "1FF\n", bytes({0xFF})},
        {"commas are not separators", "01,02\n", bytes({}),
         "'0x01,02' is not a valid integer value"},
        {"empty line fails", "01\n\n02\n", bytes({1}), "'0x' is not a valid integer value"},
        {"blank line fails", "01\n   \n", bytes({1}), "'0x' is not a valid integer value"},
        {"bad item", "01\nGG 02\n", bytes({1}), "'0xGG' is not a valid integer value"},
        {"long line reads as several", "0A" + std::string(253, ' ') + "0B rest\n0C",
         bytes({0x0A, 0x0B, 0x0C})},
        {"255 characters are one line", "0A" + std::string(253, ' ') + "\n0C", bytes({0x0A, 0x0C})},
    };
    runTextCases(cases, readLineText);
}

TEST(LineText, ALineAfterTheLastByteThatIsNotHexFailsTheRead) {
    std::string text;
    for (int i = 0; i < 384; ++i)
        text += hexByte(static_cast<Byte>(255 - i)) + "\n";
    EdidBytes buffer;
    ReadResult result = readLineText(text, buffer);
    EXPECT_EQ(result.status, ReadResult::Status::Read) << result.message;
    EXPECT_EQ(buffer.size(), 384u);
    EXPECT_EQ(buffer[0], 255);
    EXPECT_EQ(buffer[383], 128);
    result = readLineText(text + "not hex\n", buffer);
    EXPECT_EQ(result.status, ReadResult::Status::Failed);
}

TEST(RawBinary, ReadsEveryByteUpToOneMoreThanAnEdidCanHave) {
    EdidBytes buffer = earlierBytes();
    EXPECT_EQ(readRawBinary(std::string(3, '\x01'), buffer).bytesStored, 3u);
    EXPECT_EQ(buffer, EdidBytes(3, 0x01));
    EXPECT_EQ(readRawBinary(std::string(896, '\x07'), buffer).bytesStored, 896u);
    EXPECT_EQ(readRawBinary(std::string(kMaxEdidSize + 900, '\x07'), buffer).bytesStored,
              kMaxEdidSize + 1);
}

TEST(Writers, ListTextMatchesTheWrittenLayout) {
    const std::string text = formatListText(hdmiDefaultImage());
    const std::string firstLine =
        "00\tFF\tFF\tFF\tFF\tFF\tFF\t00\t2E\t56\t30\t00\t01\t00\t00\t00\t\r\n";
    EXPECT_EQ(text.substr(0, firstLine.size()), firstLine);
    EXPECT_EQ(text.size(), 16u * 50u);
    EXPECT_EQ(formatListText(std::span(hdmiDefaultImage()).first(128)), text.substr(0, 8 * 50));
    EXPECT_EQ(text.substr(15 * 50 + 45), "68\t\r\n");
}

TEST(Writers, RoundTripThroughEitherForm) {
    EdidBytes image(640);
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<Byte>(i * 37 + 11);
    for (std::size_t length : {128u, 256u, 640u}) {
        SCOPED_TRACE(length);
        const std::span<const Byte> bytes = std::span(image).first(length);
        EdidBytes fromText = earlierBytes();
        const ReadResult text = readListText(formatListText(bytes), fromText);
        EXPECT_EQ(text.bytesStored, length);
        EdidBytes fromBinary = earlierBytes();
        const std::string raw = formatRawBinary(bytes);
        EXPECT_EQ(raw.size(), length);
        EXPECT_EQ(readRawBinary(raw, fromBinary).bytesStored, length);
        EXPECT_EQ(fromText, firstBytes(image, length));
        EXPECT_EQ(fromBinary, fromText);
    }
}

TEST(SavePath, AppendsTheFiltersExtensionOnlyWhenTheNameHasNoneOfItsForm) {
    const std::tuple<const char*, SaveFilter, const char*> cases[] = {
        {"edid.bin", SaveFilter::Binary, "edid.bin"},
        {"edid.DAT", SaveFilter::Binary, "edid.DAT"},
        {"edid", SaveFilter::Binary, "edid.bin"},
        {"edid.txt", SaveFilter::Binary, "edid.txt.bin"},
        {"/tmp/v1.2/edid", SaveFilter::Ascii, "/tmp/v1.2/edid.txt"},
        {"edid.TXT", SaveFilter::Ascii, "edid.TXT"},
        {"edid.bin", SaveFilter::Ascii, "edid.bin.txt"},
        {"edid.ddc", SaveFilter::Ascii, "edid.ddc.txt"},
    };
    for (const auto& [chosen, filter, path] : cases)
        EXPECT_EQ(savePath(chosen, filter), path) << chosen;
}

TEST(saveEdidFile, WritesEveryByteGivenInEitherForm) {
    TempDir dir;
    EdidBytes image(hdmiDefaultImage().begin(), hdmiDefaultImage().end());
    image.resize(512, 0x5A);
    for (std::size_t length : {128u, 256u, 512u}) {
        const std::span<const Byte> bytes = std::span(image).first(length);
        ASSERT_TRUE(saveEdidFile(bytes, dir.file("edid"), SaveFilter::Binary).ok);
        ASSERT_TRUE(saveEdidFile(bytes, dir.file("edid"), SaveFilter::Ascii).ok);
        const std::string binary = readFile(dir.file("edid.bin"));
        const std::string text = readFile(dir.file("edid.txt"));
        EXPECT_EQ(binary, std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), long(length / 16));
    }
}

TEST(WriteFileReplacing, ReplacesAnExistingFileAndLeavesNoTemporaryFiles) {
    TempDir dir;
    const std::string path = dir.file("out.bin");
    writeFile(path, "old contents");
    ASSERT_TRUE(writeFileReplacing(path, "new").ok);
    EXPECT_EQ(readFile(path), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteFileReplacing, FailureNamesThePathAndReasonAndKeepsWhatWasThere) {
    TempDir dir;
    const std::string missingFolder = dir.file("no-such-folder/out.bin");
    WriteResult result = writeFileReplacing(missingFolder, "x");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Cannot write \"" + missingFolder + "\": No such file or directory");

    // A folder in the way of the target cannot be replaced; it survives and
    // the temporary file is cleaned up.
    const std::string folder = dir.file("taken.bin");
    std::filesystem::create_directory(folder);
    writeFile(dir.file("taken.bin/inside"), "keep");
    result = writeFileReplacing(folder, "x");
    EXPECT_FALSE(result.ok);
    EXPECT_NE(result.message.find(folder), std::string::npos) << result.message;
    EXPECT_EQ(readFile(dir.file("taken.bin/inside")), "keep");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(WriteLogFile, EndsEveryLineWithCrLf) {
    TempDir dir;
    const std::string path = dir.file("report.log");
    ASSERT_TRUE(writeLogFile(path, {"first", "", "   "}).ok);
    EXPECT_EQ(readFile(path), "first\r\n\r\n   \r\n");
}

} // namespace
} // namespace pellam
