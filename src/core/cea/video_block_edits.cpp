#include "core/cea/video_block_edits.h"

#include "core/cea/cea_formats.h"
#include "core/cea/extension_block.h"
#include "core/edid/decimal.h"

#include <algorithm>
#include <cstdio>

namespace pellam {

std::string notAValidIntegerMessage(std::string_view text) {
    return "'" + std::string(text) + "' is not a valid integer value";
}

std::string videoFormatItemText(int vic) {
    const auto name = videoFormatName(vic);
    if (!name)
        return {};
    char number[8];
    std::snprintf(number, sizeof number, "#%2d, ", vic);
    return number + std::string(*name);
}

std::optional<int> vicFromItemText(std::string_view text) {
    if (text.size() < 3)
        return std::nullopt;
    std::string_view digits = text.substr(1, 2);
    if (digits.front() == ' ')
        digits.remove_prefix(1);
    return digitsValue(digits);
}

VideoFormatLists videoFormatLists(const VideoDataBlock& video) {
    VideoFormatLists lists;
    for (int vic = 1; vic <= kVideoFormatNameCount; ++vic) {
        const int first = firstSvdWithVic(video, vic);
        if (first >= 0)
            lists.inBlock.push_back({vic, video.svds[static_cast<std::size_t>(first)].native});
        else
            lists.notInBlock.push_back(vic);
    }
    return lists;
}

int firstSvdWithVic(const VideoDataBlock& video, int vic) {
    if (!video.present)
        return -1;
    const int count = std::min(video.svdCount, VideoDataBlock::kMaxSvds);
    for (int k = 0; k < count; ++k)
        if (video.svds[static_cast<std::size_t>(k)].vic == vic)
            return k;
    return -1;
}

FieldEdit addShortVideoDescriptor(DataBlockCollection& c, int vic) {
    VideoDataBlock& video = c.video;
    const int count = video.present ? video.svdCount : 0;
    const int added = video.present ? 1 : 2;
    if (count >= kMaxSvdsInBlock || !hasRoomFor(c, added))
        return FieldEdit::refused(kMsgNoSpaceOfExtendedBlock);
    if (!video.present)
        video = {};
    video.svds[static_cast<std::size_t>(count)] = {false, vic};
    video.svdCount = count + 1;
    video.size = video.svdCount + 1;
    video.present = true;
    return FieldEdit::done();
}

bool removeShortVideoDescriptor(DataBlockCollection& c, int vic) {
    VideoDataBlock& video = c.video;
    const int first = firstSvdWithVic(video, vic);
    if (first < 0)
        return false;
    for (int k = first; k + 1 < video.svdCount; ++k)
        video.svds[static_cast<std::size_t>(k)] = video.svds[static_cast<std::size_t>(k + 1)];
    --video.svdCount;
    video.svds[static_cast<std::size_t>(video.svdCount)] = {};
    video.size = video.svdCount + 1;
    if (video.svdCount < 1)
        video = {};
    return true;
}

bool setNativeFlag(VideoDataBlock& video, int vic, bool native) {
    const int first = firstSvdWithVic(video, vic);
    if (first < 0)
        return false;
    video.svds[static_cast<std::size_t>(first)].native = native;
    return true;
}

FieldEdit editNativeDtdCount(CeaHeader& header, std::string_view text) {
    if (text.empty())
        return FieldEdit::nothing();
    if (!isDigitsOnly(text))
        return FieldEdit::refused(kMsgInvalidData);
    const auto value = digitsValue(text);
    if (!value)
        return FieldEdit::refused(notAValidIntegerMessage(text));
    header.nativeDtdCount = *value;
    return FieldEdit::done();
}

FieldEdit editRevision(CeaHeader& header, std::string_view text) {
    const auto value = digitsValue(text);
    if (!value)
        return FieldEdit::nothing();
    header.revision = *value;
    return FieldEdit::done();
}

} // namespace pellam
