#include "core/edid/edid_file.h"
#include "core/session/editor_state.h"
#include "core/edid/hex.h"
#include "support/test_support.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace pellam {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<Byte> bytes(std::initializer_list<int> values) {
    return std::vector<Byte>(values.begin(), values.end());
}

// A buffer filled with a marker so that the bytes a reader leaves alone show.
EdidImage markedBuffer() {
    EdidImage buffer;
    buffer.fill(0xEE);
    return buffer;
}

std::vector<Byte> firstBytes(const EdidImage& buffer, std::size_t n) {
    return std::vector<Byte>(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(n));
}

void expectUntouchedFrom(const EdidImage& buffer, std::size_t first) {
    for (std::size_t i = first; i < buffer.size(); ++i)
        ASSERT_EQ(buffer[i], 0xEE) << "offset " << i << " should be left as it was";
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
                  ReadResult (*reader)(std::string_view, EdidImage&)) {
    for (const TextCase& c : cases) {
        SCOPED_TRACE(c.name);
        EdidImage buffer = markedBuffer();
        const ReadResult result = reader(c.text, buffer);
        if (c.error) {
            EXPECT_EQ(result.status, ReadResult::Status::Failed);
            EXPECT_EQ(result.message, c.error);
        } else {
            EXPECT_EQ(result.status, ReadResult::Status::Read) << result.message;
        }
        EXPECT_EQ(result.bytesStored, c.stored.size());
        EXPECT_EQ(firstBytes(buffer, c.stored.size()), c.stored);
        expectUntouchedFrom(buffer, c.stored.size());
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

TEST(ListText, StoresTheFirst256ItemsAndIgnoresTheRest) {
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += hexByte(static_cast<Byte>(i)) + " ";
    text += "not-hex";
    EdidImage buffer{};
    const ReadResult result = readListText(text, buffer);
    EXPECT_EQ(result.status, ReadResult::Status::Read);
    EXPECT_EQ(result.bytesStored, 256u);
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(buffer[i], i);
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

TEST(LineText, StoresTheFirst256LinesAndIgnoresTheRest) {
    std::string text;
    for (int i = 0; i < 256; ++i)
        text += hexByte(static_cast<Byte>(255 - i)) + "\n";
    text += "\n\nnot hex\n";
    EdidImage buffer{};
    const ReadResult result = readLineText(text, buffer);
    EXPECT_EQ(result.status, ReadResult::Status::Read) << result.message;
    EXPECT_EQ(result.bytesStored, 256u);
    EXPECT_EQ(buffer[0], 255);
    EXPECT_EQ(buffer[255], 0);
}

TEST(RawBinary, ReadsAtMost256BytesAndKeepsTheRestOfTheBuffer) {
    EdidImage buffer = markedBuffer();
    EXPECT_EQ(readRawBinary(std::string(3, '\x01'), buffer).bytesStored, 3u);
    expectUntouchedFrom(buffer, 3);
    const std::string big(300, '\x07');
    EXPECT_EQ(readRawBinary(big, buffer).bytesStored, 256u);
    for (Byte b : buffer)
        ASSERT_EQ(b, 0x07);
}

TEST(Writers, ListTextMatchesTheWrittenLayout) {
    const std::string text = formatListText(hdmiDefaultImage(), 256);
    const std::string firstLine =
        "00\tFF\tFF\tFF\tFF\tFF\tFF\t00\t2E\t56\t30\t00\t01\t00\t00\t00\t\r\n";
    EXPECT_EQ(text.substr(0, firstLine.size()), firstLine);
    EXPECT_EQ(text.size(), 16u * 50u);
    EXPECT_EQ(formatListText(hdmiDefaultImage(), 128), text.substr(0, 8 * 50));
    EXPECT_EQ(text.substr(15 * 50 + 45), "68\t\r\n");
}

TEST(Writers, RoundTripThroughEitherForm) {
    EdidImage image;
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<Byte>(i * 37 + 11);
    for (std::size_t length : {128u, 256u}) {
        SCOPED_TRACE(length);
        EdidImage fromText = markedBuffer();
        const ReadResult text = readListText(formatListText(image, length), fromText);
        EXPECT_EQ(text.bytesStored, length);
        EdidImage fromBinary = markedBuffer();
        const std::string raw = formatRawBinary(image, length);
        EXPECT_EQ(raw.size(), length);
        EXPECT_EQ(readRawBinary(raw, fromBinary).bytesStored, length);
        EXPECT_EQ(firstBytes(fromText, length), firstBytes(image, length));
        EXPECT_EQ(fromBinary, fromText);
        if (length == 128)
            expectUntouchedFrom(fromText, 128);
    }
}

TEST(SavePath, AlwaysAppendsTheFiltersExtension) {
    EXPECT_EQ(savePath("edid.bin", SaveFilter::Binary), "edid.bin.bin");
    EXPECT_EQ(savePath("edid", SaveFilter::Binary), "edid.bin");
    EXPECT_EQ(savePath("/tmp/edid", SaveFilter::Ascii), "/tmp/edid.txt");
    EXPECT_EQ(savePath("edid.txt", SaveFilter::Ascii), "edid.txt.txt");
}

TEST(saveEdidFile, WritesTheLengthAskedFor) {
    TempDir dir;
    EdidWorkspace ws;
    for (ExtensionMode mode : {ExtensionMode::Bytes128, ExtensionMode::Bytes256}) {
        setExtensionMode(ws, mode);
        const std::size_t length = mode == ExtensionMode::Bytes128 ? 128 : 256;
        ASSERT_TRUE(saveEdidFile(ws.image, length, dir.file("edid"), SaveFilter::Binary).ok);
        ASSERT_TRUE(saveEdidFile(ws.image, length, dir.file("edid"), SaveFilter::Ascii).ok);
        const std::string binary = readFile(dir.file("edid.bin"));
        const std::string text = readFile(dir.file("edid.txt"));
        EXPECT_EQ(binary.size(), length);
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), long(length / 16));
        EXPECT_EQ(binary, formatRawBinary(ws.image, length));
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

// The menu marks the editor sets after a load.
ModeMenus menusOf(const EdidWorkspace& ws) {
    ModeMenus menus;
    SyncModeMenus(menus, ws);
    return menus;
}

class LoadEdidFileTest : public ::testing::Test {
protected:
    TempDir dir;
    EdidWorkspace ws;

    std::string fileWith(const std::string& name, const std::string& contents) {
        writeFile(dir.file(name), contents);
        return dir.file(name);
    }
    std::string imageFile(const std::string& name, const EdidImage& image, std::size_t length) {
        return fileWith(name, formatRawBinary(image, length));
    }
};

TEST_F(LoadEdidFileTest, A128ByteFileAtStartUpLeavesBlock1Zero) {
    EdidImage image = hdmiDefaultImage();
    image[126] = 0;
    const LoadResult result = loadEdidFile(ws, imageFile("a.bin", image, 128));
    ASSERT_EQ(result.outcome, LoadResult::Outcome::Loaded) << result.message;
    EXPECT_EQ(firstBytes(ws.image, 128), firstBytes(image, 128));
    for (std::size_t i = 128; i < 256; ++i)
        ASSERT_EQ(ws.image[i], 0) << i;
    EXPECT_TRUE(menusOf(ws).n128Bytes1);
}

TEST_F(LoadEdidFileTest, A128ByteFileAfterA256ByteFileKeepsTheEarlierBlock1) {
    ASSERT_EQ(loadEdidFile(ws, imageFile("dp.bin", displayPortDefaultImage(), 256)).outcome,
              LoadResult::Outcome::Loaded);
    EXPECT_EQ(ws.displayPortMode, 1);
    EdidImage small = hdmiDefaultImage();
    small[126] = 0;
    ASSERT_EQ(loadEdidFile(ws, imageFile("small.dat", small, 128)).outcome,
              LoadResult::Outcome::Loaded);
    EXPECT_EQ(firstBytes(ws.image, 128), firstBytes(small, 128));
    for (std::size_t i = 128; i < 256; ++i)
        ASSERT_EQ(ws.image[i], displayPortDefaultImage()[i]) << i;
    EXPECT_EQ(ws.displayPortMode, 0);
}

TEST_F(LoadEdidFileTest, A128ItemTextFileLoadsLikeThe128ByteBinaryFile) {
    EdidImage image = displayPortDefaultImage();
    image[126] = 0;
    EdidWorkspace fromBinary;
    ASSERT_EQ(loadEdidFile(fromBinary, imageFile("a.bin", image, 128)).outcome,
              LoadResult::Outcome::Loaded);
    const std::string text = formatListText(image, 128);
    ASSERT_EQ(loadEdidFile(ws, fileWith("a.TXT", text)).outcome, LoadResult::Outcome::Loaded);
    EXPECT_EQ(ws.image, fromBinary.image);
    EXPECT_EQ(menusOf(ws).n128Bytes1, menusOf(fromBinary).n128Bytes1);

    std::string commas = text;
    std::replace(commas.begin(), commas.end(), '\t', ',');
    EdidWorkspace fromCommas;
    ASSERT_EQ(loadEdidFile(fromCommas, fileWith("c.txt", commas)).outcome,
              LoadResult::Outcome::Loaded);
    EXPECT_EQ(fromCommas.image, fromBinary.image);
}

TEST_F(LoadEdidFileTest, AnUnrecognisedTypeReadsNothingAndChecksTheBufferAsItIs) {
    const std::string ddcUpper = fileWith("edid.DDC", "00\nFF\nFF\nFF\nFF\nFF\nFF\n00\n");
    LoadResult result = loadEdidFile(ws, ddcUpper);
    EXPECT_EQ(result.outcome, LoadResult::Outcome::HeaderMismatch);
    EXPECT_EQ(result.message, "EDID File Format incorrect!!");
    EXPECT_EQ(ws.image, hdmiDefaultImage());

    ASSERT_EQ(loadEdidFile(ws, imageFile("dp.bin", displayPortDefaultImage(), 256)).outcome,
              LoadResult::Outcome::Loaded);
    ws.image = hdmiDefaultImage();
    result = loadEdidFile(ws, ddcUpper);
    EXPECT_EQ(result.outcome, LoadResult::Outcome::Loaded);
    EXPECT_EQ(ws.image, displayPortDefaultImage()) << "the earlier file's bytes again";
}

TEST_F(LoadEdidFileTest, FailuresLeaveTheImageAndModes) {
    setExtensionMode(ws, ExtensionMode::Bytes128);
    const EdidWorkspace before = ws;

    const std::string missing = dir.file("missing.bin");
    LoadResult result = loadEdidFile(ws, missing);
    EXPECT_EQ(result.outcome, LoadResult::Outcome::ReadFailed);
    EXPECT_EQ(result.message, "Cannot open \"" + missing + "\": No such file or directory");

    result = loadEdidFile(ws, fileWith("bad.txt", "00 FF FF FF 0xFF FF FF 00"));
    EXPECT_EQ(result.outcome, LoadResult::Outcome::ReadFailed);
    EXPECT_EQ(result.message, "'0x0xFF' is not a valid integer value");
    EXPECT_EQ(firstBytes(ws.fileLoadBuffer, 4), bytes({0x00, 0xFF, 0xFF, 0xFF}));

    result = loadEdidFile(ws, fileWith("bad.ddc", "00\nFF\n\n"));
    EXPECT_EQ(result.message, "'0x' is not a valid integer value");

    result = loadEdidFile(ws, fileWith("noheader.bin", std::string(256, '\0')));
    EXPECT_EQ(result.outcome, LoadResult::Outcome::HeaderMismatch);

    EXPECT_EQ(ws.image, before.image);
    EXPECT_EQ(ws.displayPortMode, before.displayPortMode);
    EXPECT_TRUE(menusOf(ws).n128Bytes1);
}

TEST_F(LoadEdidFileTest, DdcFileWithCommentsLoads) {
    std::string text;
    for (std::size_t i = 0; i < 256; ++i)
        text += hexByte(displayPortDefaultImage()[i]) + (i % 2 ? "\t; byte\r\n" : "\r\n");
    ASSERT_EQ(loadEdidFile(ws, fileWith("edid.ddc", text)).outcome, LoadResult::Outcome::Loaded);
    EXPECT_EQ(ws.image, displayPortDefaultImage());
    EXPECT_TRUE(menusOf(ws).edidDpSel);
}

TEST(Corpus, EveryRealEdidLoadsWithItsFirst256Bytes) {
    const auto files = test::corpusFiles();
    ASSERT_GT(files.size(), 250u);
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        EdidWorkspace ws;
        const std::string raw = readFile(file);
        const LoadResult result = loadEdidFile(ws, file.string());
        const EdidImage expected = test::imageFromBytes(raw);
        if (hasEdidHeader(expected)) {
            ASSERT_EQ(result.outcome, LoadResult::Outcome::Loaded) << result.message;
            EXPECT_EQ(ws.image, expected);
            EXPECT_EQ(menusOf(ws).n128Bytes1, expected[126] == 0);
            EXPECT_EQ(ws.displayPortMode, displayPortModeFromImage(expected));
        } else {
            EXPECT_EQ(result.outcome, LoadResult::Outcome::HeaderMismatch);
        }
    }
}

} // namespace
} // namespace pellam
