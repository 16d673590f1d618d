#include "present/PropertyFields.h"

#include "avi/CodecNames.h"
#include "avi/TextFormat.h"
#include "plan/SplicePlan.h"

namespace vidloom {

namespace {
std::string channelsText(int32_t channels) {
    if (channels == 1) {
        return "Mono";
    }
    if (channels == 2) {
        return "Stereo";
    }
    return intToText(channels) + " channels";
}
} // namespace

PropertyFields propertyFieldsOf(const SplicePlan* plan) {
    PropertyFields f;
    if (plan == nullptr || plan->segments.count() == 0) {
        return f;
    }
    const AviHeader& info = *plan->segments.at(0).header;
    f.videoShown = true;
    f.fourCC = info.VideoFourCC;
    f.codec = videoCodecNames().nameOf(info.VideoFourCC);
    f.frameSize = intToText(info.Width) + "x" + intToText(info.Height);
    f.frameRate = intToText(info.FpsInteger) + "." + thousandthsText(info.FpsThousandths) + " fps";
    f.report = info.Report;
    if (!info.NoAudio) {
        f.audioShown = true;
        f.audioFormat = audioFormatNames().nameOf(info.AudioFormatTag);
        f.audioBitRate = intToText(info.AudioBytesPerSec / 125) + " kbps";
        f.sampleRate = intToText(info.AudioSampleRate) + "Hz";
        f.channels = channelsText(info.AudioChannels);
    }
    f.navigationShown = plan->segments.count() > 1;
    return f;
}

} // namespace vidloom
