#include "plan/Preflight.h"

#include "avi/CodecFamilies.h"
#include "avi/TextFormat.h"

#include <cstdio>
#include <map>
#include <numeric>
#include <set>

namespace vidloom {

namespace {

// A FourCC as text: printable codes as they are, others in hexadecimal.
std::string fourccText(const std::string& fourcc) {
    for (const char c : fourcc) {
        if (c < 0x20 || c > 0x7E) {
            std::string hex = "0x";
            char digits[3];
            for (auto it = fourcc.rbegin(); it != fourcc.rend(); ++it) {
                std::snprintf(digits, sizeof digits, "%02X", unsigned(uint8_t(*it)));
                hex += digits;
            }
            return hex;
        }
    }
    return fourcc;
}

std::string colourText(const AviHeader& h) {
    if (h.ColourFormat) {
        return *h.ColourFormat;
    }
    return fourccText(h.VideoFourCC) + " " + std::to_string(h.BitCount) + "-bit";
}

std::string frameRateText(const AviHeader& h) {
    const FrameRate r = frameRateOf(h);
    std::string text = std::to_string(r.numerator) + "/" + std::to_string(r.denominator);
    if (r.denominator > 0) {
        char fps[40];
        std::snprintf(fps, sizeof fps, "%.3f", double(r.numerator) / double(r.denominator));
        text = std::string(fps) + " fps (" + text + ")";
    }
    return text;
}

std::string channelsText(int32_t channels) {
    return std::to_string(channels) + (channels == 1 ? " channel" : " channels");
}

} // namespace

FrameRate frameRateOf(const AviHeader& header) {
    int64_t num = header.StreamRate;
    int64_t den = header.StreamScale;
    const int64_t divisor = std::gcd(num, den);
    if (divisor > 1) {
        num /= divisor;
        den /= divisor;
    }
    return {num, den};
}

std::string SpliceProblem::text() const {
    if (!note.empty()) {
        return laterFile + ": " + note;
    }
    if (certain) {
        return earlierFile + " then " + laterFile + ": " + property + " " + earlierValue +
               " then " + laterValue + ": AviSynth stops with \"" + aviSynthMessage + "\"";
    }
    return earlierFile + " then " + laterFile + ": " + property + " " + earlierValue + " then " +
           laterValue + " may differ (only the decoder can tell): AviSynth would stop with \"" +
           aviSynthMessage + "\"";
}

namespace {

// Collects the problems of one join in AviSynth's order. AviSynth stops at the
// first rule a pair breaks, but the user is told every difference at once, so
// that mending one does not only uncover the next: the first certain problem
// is AviSynth's own message, the others follow it.
class JoinCheck {
public:
    // Adds the problem; false, so that the caller goes on to the next rule.
    bool differ(const char* property, std::string first, std::string second, const char* message,
                bool certain = true) {
        SpliceProblem p;
        p.property = property;
        p.earlierValue = std::move(first);
        p.laterValue = std::move(second);
        p.aviSynthMessage = message;
        p.certain = certain;
        problems.push_back(std::move(p));
        return false;
    }
    std::vector<SpliceProblem> problems;
};

std::string presence(bool has, const char* what) {
    return std::string(has ? "" : "no ") + what;
}

// Frame size, colour format and frame rate of two video streams.
bool videoDiffers(JoinCheck& check, const AviHeader& a, const AviHeader& b) {
    if ((a.Width != b.Width || a.Height != b.Height) &&
        check.differ("frame size", std::to_string(a.Width) + "x" + std::to_string(a.Height),
                     std::to_string(b.Width) + "x" + std::to_string(b.Height),
                     "Splice: Frame sizes don't match")) {
        return true;
    }
    // What each decoder will output, where the codec's headers tell; two
    // files the headers say nothing about are alike when one kind of decoder
    // reads both at one depth.
    const auto& formatA = a.ColourFormat;
    const auto& formatB = b.ColourFormat;
    const char* formats = "Splice: Video formats don't match";
    if (formatA && formatB) {
        if (*formatA != *formatB && check.differ("colour format", *formatA, *formatB, formats)) {
            return true;
        }
    } else if (formatA || formatB || codecFamily(a.VideoFourCC) != codecFamily(b.VideoFourCC) ||
               a.BitCount != b.BitCount) {
        check.differ("colour format", colourText(a), colourText(b), formats, false);
    }
    return frameRateOf(a) != frameRateOf(b) &&
           check.differ("frame rate", frameRateText(a), frameRateText(b),
                        "Splice: Video framerate doesn't match");
}

// Channels and sample rate of two audio streams.
void audioDiffers(JoinCheck& check, const AviHeader& a, const AviHeader& b) {
    if (a.AudioChannels != b.AudioChannels &&
        check.differ("audio channels", channelsText(a.AudioChannels), channelsText(b.AudioChannels),
                     "Splice: The number of audio channels doesn't match")) {
        return;
    }
    if (a.AudioSampleRate != b.AudioSampleRate) {
        check.differ("audio sample rate", std::to_string(a.AudioSampleRate) + " Hz",
                     std::to_string(b.AudioSampleRate) + " Hz",
                     "Splice: The audio of the two clips have different samplerates! Use "
                     "SSRC()/ResampleAudio()");
    }
}

SpliceProblem noteOf(std::string note) {
    SpliceProblem p;
    p.certain = false;
    p.note = std::move(note);
    return p;
}

// What cannot be vouched for in a segment by itself: a file AviSource opens
// only through a decoder for interleaved DV (said once per file), and a start
// whose key frame nobody can tell. A file's frame 0 is where its decoder
// starts anyway.
void addSegmentNotes(std::vector<SpliceProblem>& notes, const Segment& segment,
                     std::set<const AviHeader*>& dvFiles) {
    const AviHeader& h = *segment.header;
    if (h.DvType == 1 && dvFiles.insert(&h).second) {
        notes.push_back(
            noteOf("AviSource needs a decoder for DV type 1 (video and audio interleaved)"));
    }
    if (h.IsAvi && !h.KeyFramesKnown && segment.start > 0) {
        notes.push_back(noteOf("cannot tell whether frame " + std::to_string(segment.start) +
                               ", where the segment starts, is a key frame: the index was "
                               "rebuilt from the movie data and Vidloom does not read this "
                               "codec's frame headers"));
    }
}

} // namespace

std::vector<SpliceProblem> joinProblems(const AviHeader& a, const AviHeader& b) {
    JoinCheck check;
    if (&a == &b) {
        return check.problems; // two pieces of one file always join
    }
    // The header reader finds a video stream in every AVI file it accepts.
    const bool videoA = a.IsAvi;
    const bool videoB = b.IsAvi;
    if (videoA != videoB &&
        check.differ("video", presence(videoA, "video"), presence(videoB, "video"),
                     "Splice: one clip has video and the other doesn't (not allowed)")) {
        return check.problems;
    }
    const bool audioA = a.IsAvi && !a.NoAudio;
    const bool audioB = b.IsAvi && !b.NoAudio;
    if (audioA != audioB &&
        check.differ("audio", presence(audioA, "audio"), presence(audioB, "audio"),
                     "Splice: one clip has audio and the other doesn't (not allowed)")) {
        return check.problems;
    }
    if (videoA && videoB && videoDiffers(check, a, b)) {
        return check.problems;
    }
    if (audioA && audioB) {
        audioDiffers(check, a, b);
    }
    return check.problems;
}

std::vector<SpliceProblem> preflight(const SegmentList& segments) {
    std::vector<SpliceProblem> problems;
    std::set<const AviHeader*> dvFiles;
    int32_t previous = -1;
    for (int32_t i = 0; i < segments.count(); ++i) {
        const Segment& later = segments.at(i);
        if (later.length <= 0) {
            continue; // writes no line: it joins nothing
        }
        std::vector<SpliceProblem> found;
        if (previous >= 0) {
            found = joinProblems(*segments.at(previous).header, *later.header);
        }
        addSegmentNotes(found, later, dvFiles);
        for (SpliceProblem& p : found) {
            p.segment = i;
            p.earlier = previous >= 0 ? previous : i; // a note on the first names itself
            p.earlierFile = segments.at(p.earlier).fileName();
            p.laterFile = later.fileName();
            problems.push_back(std::move(p));
        }
        previous = i;
    }
    return problems;
}

} // namespace vidloom
