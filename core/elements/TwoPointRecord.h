#pragma once
#include <cstdint>
#include <string>

#include "core/elements/ElementRecords.h"
#include "core/geometry/Geometry.h"
#include "core/records/RecordWriter.h"

namespace qurix {

// What the line and circle records hold: the pen (a fill for circles only) and two points.
struct TwoPointFields {
    PenFields pen;
    Point p1;
    Point p2;
};

// Reads the record up to endTag. "X" and "Y" fill the first point until the first "Y"
// has been read, then the second (later pairs overwrite it). "F" is read only withFill.
RecordEnd ReadTwoPointRecord(CRecordReader& reader, const char* endTag, bool withFill,
                             std::string& strayEndTag, TwoPointFields& out);

// Writes the whole record as one line, points relative to origin when one is given.
bool WriteTwoPointRecord(CRecordWriter& writer, const char* startTag, const char* endTag,
                         bool withFill, const TwoPointFields& f, const Point* origin);

}  // namespace qurix
