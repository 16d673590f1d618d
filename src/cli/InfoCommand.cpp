// vidloom-cli info [--json] FILE...: each file's headers read exactly as the
// window's "Add File" reads them, shown as the information report or as JSON.

#include "avi/AviHeader.h"
#include "avi/CodecNames.h"
#include "avi/Errors.h"
#include "avi/InfoTags.h"
#include "avi/TextFormat.h"
#include "cli/Commands.h"
#include "cli/Json.h"
#include "plan/PlanActions.h"

#include <memory>
#include <ostream>

namespace vidloom::cli {

namespace {

const char* const kInfoUsage = "Usage: vidloom-cli info [--json] FILE...\n";

void writeInfoJson(JsonWriter& w, const std::string& file, const AviHeader& info) {
    // A rejected file keeps every field at its initial value; its names are
    // left empty rather than naming the codes of a file that has none.
    const bool avi = info.IsAvi;
    w.beginObject()
        .field("file", file)
        .field("isAvi", avi)
        .field("report", info.Report)
        .key("videoFourCC")
        .bytes(info.VideoFourCC)
        .field("codecName", avi ? videoCodecNames().nameOf(info.VideoFourCC) : std::string())
        .field("width", info.Width)
        .field("height", info.Height)
        .field("bitCount", info.BitCount)
        .field("microSecPerFrame", info.MicroSecPerFrame)
        .field("fpsInteger", info.FpsInteger)
        .field("fpsThousandths", info.FpsThousandths)
        .field("totalFrames", info.TotalFrames)
        .field("headerTotalFrames", info.HeaderTotalFrames)
        .field("indexRebuilt", info.indexRebuilt())
        .field("keyFramesKnown", info.KeyFramesKnown);
    if (avi && info.FramesDeclared != info.TotalFrames) {
        w.field("framesPresent", info.TotalFrames).field("framesDeclared", info.FramesDeclared);
    }
    if (info.DvType != 0) {
        w.field("dvType", info.DvType);
    } else {
        w.nullField("dvType");
    }
    w.field("openDml", info.OpenDml)
        .field("riffParts", info.RiffParts)
        .field("lengthMs", info.LengthMs)
        .field("lengthMsUnclamped", info.LengthMsUnclamped)
        .field("streams", info.Streams)
        .field("noAudio", info.NoAudio)
        .field("audioFormatTag", info.AudioFormatTag);
    if (avi && !info.NoAudio) {
        w.field("audioFormatName", audioFormatNames().nameOf(info.AudioFormatTag));
    } else {
        w.nullField("audioFormatName");
    }
    w.field("audioChannels", info.AudioChannels)
        .field("audioSampleRate", info.AudioSampleRate)
        .field("audioBytesPerSec", info.AudioBytesPerSec)
        .field("moviSizePos", info.MoviSizePos)
        .field("indexPos", info.IndexPos)
        .field("aspectText", info.AspectText)
        .field("aspectVerdict", info.AspectVerdict)
        .field("nandubTagFound", info.NandubTagFound)
        .field("brandTagFound", info.BrandTagFound);
    w.key("tags").beginArray();
    if (info.BrandInfo) {
        for (int32_t i = 0; i < info.BrandInfo->count(); ++i) {
            w.beginObject()
                .field("id", info.BrandInfo->id(i))
                .field("value", info.BrandInfo->value(i))
                .endObject();
        }
    }
    w.endArray();
    if (info.ColourFormat) {
        w.field("colourFormat", *info.ColourFormat);
    } else {
        w.nullField("colourFormat");
    }
    w.endObject();
}

} // namespace

int runInfo(const Args& args, std::ostream& out, std::ostream& err) {
    bool json = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (const std::string& arg : args) {
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--json") {
            json = true;
        } else if (!optionsEnded && arg.size() > 1 && arg[0] == '-') {
            err << "vidloom-cli info: unknown option '" << arg << "'\n" << kInfoUsage;
            return 2;
        } else {
            files.push_back(arg);
        }
    }
    if (files.empty()) {
        err << "vidloom-cli info: no FILE given\n" << kInfoUsage;
        return 2;
    }

    int status = 0;
    JsonWriter w(out);
    if (json) {
        w.beginArray();
    }
    bool first = true;
    for (const std::string& given : files) {
        const std::string path = absolutePath(given);
        std::unique_ptr<AviHeader> info;
        std::string error;
        try {
            info = std::make_unique<AviHeader>(path);
        } catch (VidloomError& e) {
            e.nameFile(path);
            error = e.message();
        } catch (const std::exception& e) {
            error = path + ": " + e.what();
        }
        if (!info) {
            status = 1;
            err << "vidloom-cli: " << error << "\n";
            if (json) {
                w.beginObject().field("file", path).field("error", error).endObject();
            }
            continue;
        }
        if (const std::string reason = notAviReason(*info); !reason.empty()) {
            // Its report still prints, as the others' do; the status says it.
            status = 1;
            err << "vidloom-cli: " << reason << "\n";
        }
        if (json) {
            writeInfoJson(w, path, *info);
        } else {
            out << (first ? "" : "\n") << withLineFeeds(info->Report) << "\n";
        }
        first = false;
    }
    if (json) {
        w.endArray();
        w.finish();
    }
    return status;
}

} // namespace vidloom::cli
