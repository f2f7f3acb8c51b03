#include "tools/swfinfo/movie_json.h"

#include "player/swf/fscommand_probe.h"
#include "player/swf/swf_reader.h"
#include "tools/swfinfo/json_writer.h"

namespace vexil::swfinfo {
namespace {

using swf::Movie;
using swf::TwipsRect;

void writeRect(JsonWriter& json, const char* name, const TwipsRect& rect, int32_t (*convert)(int32_t)) {
  json.key(name).beginObject();
  json.key("xMin").value(int64_t{convert(rect.xMin)});
  json.key("xMax").value(int64_t{convert(rect.xMax)});
  json.key("yMin").value(int64_t{convert(rect.yMin)});
  json.key("yMax").value(int64_t{convert(rect.yMax)});
  json.endObject();
}

void writeHeader(JsonWriter& json, const Movie& movie) {
  const swf::SwfHeader& header = movie.header;
  json.key("signature").value(header.compressed() ? "CWS" : "FWS");
  json.key("version").value(int64_t{header.version});
  json.key("fileLength").value(int64_t{header.fileLength});
  writeRect(json, "frameRectTwips", header.frameRect, [](int32_t twips) { return twips; });
  writeRect(json, "frameRectPixels", header.frameRect, swf::twipsToPixels);
  json.key("frameRate").beginObject();
  json.key("fixed8_8").value(int64_t{header.frameRate});
  json.key("value").value(header.framesPerSecond());
  json.key("whole").value(int64_t{header.wholeFrameRate()});
  json.endObject();
  json.key("frameCount").value(int64_t{header.frameCount});
  json.key("backgroundColor").value(movie.backgroundColor ? int64_t{*movie.backgroundColor} : int64_t{-1});
}

// Frames are numbered from 1 here, as authors see them.
void writeLabels(JsonWriter& json, const Movie& movie) {
  json.key("labels").beginArray();
  for (size_t frame = 0; frame < movie.frames.size(); ++frame) {
    for (const std::string& label : movie.frames[frame].labels) {
      json.beginObject().key("label").value(label).key("frame").value(static_cast<int64_t>(frame + 1)).endObject();
    }
  }
  json.endArray();
}

void writeCommands(JsonWriter& json, const Movie& movie) {
  json.key("fsCommands").beginArray();
  for (const swf::FsCommandEvent& event : swf::probeFsCommands(movie)) {
    json.beginObject();
    json.key("command").value(event.command);
    json.key("argument").value(event.argument);
    json.key("frame").value(static_cast<int64_t>(event.frame + 1));
    json.endObject();
  }
  json.endArray();
}

}  // namespace

std::string describeMovieFile(std::string_view path, bool* ok) {
  swf::ReadResult result = swf::readMovieFile(path);
  JsonWriter json;
  json.beginObject().key("file").value(path);
  if (ok) *ok = result.ok();
  if (!result.ok()) {
    json.key("error").value(result.error);
  } else {
    writeHeader(json, *result.movie);
    writeLabels(json, *result.movie);
    writeCommands(json, *result.movie);
  }
  json.endObject();
  return json.text();
}

}  // namespace vexil::swfinfo
