#include "core/elements/TwoPointRecord.h"

namespace qurix {

RecordEnd ReadTwoPointRecord(CRecordReader& reader, const char* endTag, bool withFill,
                             std::string& strayEndTag, TwoPointFields& out) {
    bool firstDone = false;
    return ReadRecord(reader, ElementSyntax(endTag, strayEndTag),
                      [&](std::string_view key, std::string_view value) {
                          Point& p = firstDone ? out.p2 : out.p1;
                          if (out.pen.Read(key, value, withFill)) return true;
                          if (key == "X") {
                              p.x = ParseInt(value);
                          } else if (key == "Y") {
                              p.y = ParseInt(value);
                              firstDone = true;
                          }
                          return true;
                      });
}

bool WriteTwoPointRecord(CRecordWriter& writer, const char* startTag, const char* endTag,
                         bool withFill, const TwoPointFields& f, const Point* origin) {
    const Point o = origin ? *origin : Point::Zero();
    const Point a = f.p1 - o;
    const Point b = f.p2 - o;
    return writer.WriteToken(startTag) == 0 && writer.WriteKeyInt("W", f.pen.width) == 0 &&
           writer.WriteKeyInt("S", f.pen.style) == 0 &&
           (!withFill || writer.WriteKeyInt("F", f.pen.fill) == 0) &&
           writer.WriteKeyInt("X", a.x) == 0 && writer.WriteKeyInt("Y", a.y) == 0 &&
           writer.WriteKeyInt("X", b.x) == 0 && writer.WriteKeyInt("Y", b.y) == 0 &&
           writer.WriteToken(endTag) == 0 && writer.EndLine() == 0;
}

}  // namespace qurix
