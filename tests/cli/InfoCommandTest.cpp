// vidloom-cli info: real files checked against ffprobe's record of them, the
// text and JSON forms, and what happens to files that cannot be read.

#include "cli/Commands.h"
#include "cli/Json.h"
#include "kit/AviBuilder.h"
#include "kit/MiniJson.h"
#include "kit/Outcome.h"

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/wait.h>

using namespace vidloom;
using kit::JsonValue;

namespace {

using kit::CliRun;

CliRun info(const std::vector<std::string>& args) {
    return kit::cli("info", args);
}

std::string fixture(const std::string& name) {
    return std::string(VIDLOOM_FIXTURES) + "/" + name;
}

// The first stream of ffprobe's record with the given codec_type, or null.
const JsonValue* streamOf(const JsonValue& probe, const std::string& type) {
    for (const JsonValue& s : probe["streams"].items) {
        if (s["codec_type"].text == type) {
            return &s;
        }
    }
    return nullptr;
}

std::string tagValue(const JsonValue& file, const std::string& id) {
    for (const JsonValue& t : file["tags"].items) {
        if (t["id"].text == id) {
            return t["value"].text;
        }
    }
    return "<missing>";
}

} // namespace

TEST(InfoCommand, AgreesWithFfprobeOnTheRealFixtures) {
    const std::vector<std::string> names = {"xvid_mp3", "mjpeg_silent", "tagged_pcm", "divx_adpcm"};
    std::vector<std::string> args{"--json"};
    for (const auto& n : names) {
        args.push_back(fixture(n + ".avi"));
    }
    const CliRun run = info(args);
    ASSERT_EQ(run.status, 0) << run.err;
    const JsonValue files = kit::parseJson(run.out);
    ASSERT_EQ(files.items.size(), names.size());

    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const JsonValue& f = files[i];
        const JsonValue probe = kit::parseJson(kit::readAll(fixture(names[i] + ".ffprobe.json")));
        const JsonValue* video = streamOf(probe, "video");
        const JsonValue* audio = streamOf(probe, "audio");
        ASSERT_NE(video, nullptr);

        EXPECT_EQ(f["file"].text, fixture(names[i] + ".avi"));
        EXPECT_TRUE(f["isAvi"].flag);
        EXPECT_EQ(f["width"].integer(), (*video)["width"].integer());
        EXPECT_EQ(f["height"].integer(), (*video)["height"].integer());
        EXPECT_EQ(std::to_string(f["totalFrames"].integer()), (*video)["nb_frames"].text);
        EXPECT_EQ(f["videoFourCC"].text, (*video)["codec_tag_string"].text);
        EXPECT_EQ(f["noAudio"].flag, audio == nullptr);
        if (audio != nullptr) {
            EXPECT_EQ(f["audioFormatTag"].integer(),
                      std::stoll((*audio)["codec_tag"].text, nullptr, 16));
            EXPECT_EQ(f["audioChannels"].integer(), (*audio)["channels"].integer());
            EXPECT_EQ(std::to_string(f["audioSampleRate"].integer()), (*audio)["sample_rate"].text);
        } else {
            EXPECT_TRUE(f["audioFormatName"].isNull());
        }
        // ffmpeg writes its tags as an INFO list before the movie data.
        EXPECT_TRUE(f["nandubTagFound"].flag);
        const JsonValue& tags = probe["format"]["tags"];
        const std::pair<const char*, const char*> idOf[] = {
            {"title", "INAM"},     {"artist", "IART"},   {"comment", "ICMT"},
            {"copyright", "ICOP"}, {"software", "ISFT"}, {"encoder", "ISFT"}};
        for (const auto& [name, id] : idOf) {
            if (tags.has(name)) {
                EXPECT_EQ(tagValue(f, id), tags[name].text) << id;
            }
        }
    }
    EXPECT_EQ(files[0]["codecName"].text, "Xvid MPEG-4");
    EXPECT_EQ(files[0]["audioFormatName"].text, "mp3");
    EXPECT_EQ(files[2]["fpsThousandths"].integer(), 970); // 29.97 fps
    EXPECT_EQ(files[3]["videoFourCC"].text, "DIVX");      // from biCompression
    EXPECT_EQ(files[3]["audioFormatName"].text, "microsoft ACPM");
}

TEST(InfoCommand, JsonKeysInTheirOrder) {
    const JsonValue f = kit::parseJson(info({"--json", fixture("xvid_mp3.avi")}).out)[0];
    const std::vector<std::string> expected = {"file",
                                               "isAvi",
                                               "report",
                                               "videoFourCC",
                                               "codecName",
                                               "width",
                                               "height",
                                               "bitCount",
                                               "microSecPerFrame",
                                               "fpsInteger",
                                               "fpsThousandths",
                                               "totalFrames",
                                               "headerTotalFrames",
                                               "indexRebuilt",
                                               "keyFramesKnown",
                                               "dvType",
                                               "openDml",
                                               "riffParts",
                                               "lengthMs",
                                               "lengthMsUnclamped",
                                               "streams",
                                               "noAudio",
                                               "audioFormatTag",
                                               "audioFormatName",
                                               "audioChannels",
                                               "audioSampleRate",
                                               "audioBytesPerSec",
                                               "moviSizePos",
                                               "indexPos",
                                               "aspectText",
                                               "aspectVerdict",
                                               "nandubTagFound",
                                               "brandTagFound",
                                               "tags",
                                               "colourFormat"};
    EXPECT_EQ(f.keys(), expected);
    // The report inside JSON keeps its CR LF.
    EXPECT_NE(f["report"].text.find("\r\nAVI Information :\r\n"), std::string::npos);
    EXPECT_EQ(f["tags"][0].keys(), (std::vector<std::string>{"id", "value"}));
}

TEST(InfoCommand, TextFormShowsEachReportWithLineFeeds) {
    // A relative argument is shown as its absolute path.
    const std::string relative = std::filesystem::relative(fixture("mjpeg_silent.avi")).string();
    const CliRun run = info({relative, fixture("xvid_mp3.avi")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find('\r'), std::string::npos);
    EXPECT_EQ(run.out.rfind(fixture("mjpeg_silent.avi") + "\nAVI Information :\n", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("Found nandub tag.\n\n" + fixture("xvid_mp3.avi") + "\n"),
              std::string::npos);
    EXPECT_EQ(run.out.substr(run.out.size() - 19), "\nFound nandub tag.\n");
}

TEST(InfoCommand, RejectedAndUnreadableFiles) {
    const std::string empty = kit::writeTemp("cli-empty.avi", "");
    const std::string text = kit::writeTemp("cli-text.avi", "just text");
    const std::string missing = kit::tempDir() + "/no-such.avi";
    const CliRun run = info({"--json", empty, missing, text});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(missing + ": cannot open the file"), std::string::npos) << run.err;
    const JsonValue files = kit::parseJson(run.out);
    ASSERT_EQ(files.items.size(), 3u);

    EXPECT_EQ(files[1].keys(), (std::vector<std::string>{"file", "error"}));
    EXPECT_EQ(files[1]["file"].text, missing);
    EXPECT_EQ(files[1]["error"].text.rfind(missing + ": ", 0), 0u);

    for (const size_t i : {size_t(0), size_t(2)}) {
        const JsonValue& f = files[i];
        EXPECT_FALSE(f["isAvi"].flag);
        EXPECT_EQ(f["report"].text, i == 0 ? "Empty file." : "Not an avi!");
        EXPECT_EQ(f["videoFourCC"].text, "");
        EXPECT_TRUE(f["tags"].items.empty());
        for (const auto& [key, value] : f.members) {
            if (value.kind == JsonValue::Kind::Number) {
                EXPECT_EQ(value.number, 0) << key;
            }
        }
    }

    // The text form prints the others and fails the same way.
    const CliRun textRun = info({empty, missing, text});
    EXPECT_EQ(textRun.status, 1);
    EXPECT_EQ(textRun.out, "Empty file.\n\nNot an avi!\n");
}

TEST(InfoCommand, DamagedFileMessageNamesFileOffsetAndWord) {
    kit::AviBuilder b;
    b.audio = false;
    b.streams = 2;
    b.addFrames(2);
    const std::string path = kit::writeTemp("cli-twostreams.avi", b.build());
    const CliRun run = info({path});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(path + ": unexpected end of file at offset "), std::string::npos);
    EXPECT_NE(run.err.find("while looking for \"auds\" (the main header declares 2 streams)"),
              std::string::npos)
        << run.err;
}

TEST(InfoCommand, TextsAreReadableAndTheFourCCKeepsItsBytes) {
    kit::AviBuilder b;
    b.handler = std::string("X\x01\xC9\x7F", 4);
    b.nandub = true;
    b.nandubTags = {{"ICMT", "caf\xE9\t\"q\"\\"}};
    b.addFrames(1);
    const std::string path = kit::writeTemp("cli-bytes.avi", b.build());
    const CliRun run = info({"--json", path});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find(R"("videoFourCC": "X\u0001\u00c9\u007f")"), std::string::npos)
        << run.out;
    // The Latin-1 tag comes out as UTF-8 text, its tab escaped.
    EXPECT_NE(run.out.find("\"caf\xC3\xA9\\u0009\\\"q\\\"\\\\\""), std::string::npos) << run.out;
    const JsonValue f = kit::parseJson(run.out)[0];
    EXPECT_EQ(f["videoFourCC"].text, std::string("X\x01\xC9\x7F", 4));
    EXPECT_EQ(tagValue(f, "ICMT"), "caf\xC3\xA9\t\"q\"\\");
}

TEST(InfoCommand, UsageErrors) {
    EXPECT_EQ(info({}).status, 2);
    EXPECT_EQ(info({"--json"}).status, 2);
    const CliRun unknown = info({"--yaml", fixture("xvid_mp3.avi")});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--yaml"), std::string::npos);
    EXPECT_EQ(unknown.out, "");
}

TEST(InfoCommand, TheBuiltProgramGivesTheSameStatus) {
    const std::string command = std::string(VIDLOOM_CLI_PATH) + " info --json '" +
                                fixture("mjpeg_silent.avi") + "' '" + kit::tempDir() +
                                "/absent.avi' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string out;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        out.append(buffer, n);
    }
    const int status = ::pclose(pipe);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const JsonValue files = kit::parseJson(out);
    EXPECT_EQ(files[0]["totalFrames"].integer(), 12);
    EXPECT_TRUE(files[1].has("error"));
}

TEST(JsonWriter, NestingCommasAndEscapes) {
    EXPECT_EQ(cli::jsonBytes(std::string("a\"b\\c\n\x1f\x7f\x80\xff", 10)),
              R"("a\"b\\c\u000a\u001f\u007f\u0080\u00ff")");
    EXPECT_EQ(cli::jsonString("J\xC3\xB6rg\x7f\xC2\x85"), "\"J\xC3\xB6rg\\u007f\\u0085\"");
    std::ostringstream out;
    cli::JsonWriter w(out);
    w.beginObject()
        .field("n", int64_t(-5))
        .field("b", false)
        .nullField("z")
        .key("empty")
        .beginArray()
        .endArray()
        .key("list")
        .beginArray()
        .value("x")
        .beginObject()
        .endObject()
        .value(int32_t(7))
        .endArray()
        .endObject();
    w.finish();
    const JsonValue v = kit::parseJson(out.str());
    EXPECT_EQ(v.keys(), (std::vector<std::string>{"n", "b", "z", "empty", "list"}));
    EXPECT_EQ(v["n"].number, -5);
    EXPECT_TRUE(v["z"].isNull());
    EXPECT_TRUE(v["empty"].items.empty());
    ASSERT_EQ(v["list"].items.size(), 3u);
    EXPECT_EQ(v["list"][2].number, 7);
    EXPECT_NE(out.str().find("\"empty\": []"), std::string::npos) << out.str();
}
