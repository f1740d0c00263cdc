#pragma once
#include <string>

#include "core/geometry/Geometry.h"
#include "core/records/RecordReader.h"

namespace qurix {

// The "X"/"Y" pairing of the line and circle records: X and Y fill the first point until
// the first Y has been read, then the second point (later pairs overwrite it).
struct PointPairReader {
    Point first;
    Point second;
    bool firstDone = false;

    // True when key was "X" or "Y".
    bool Take(const std::string& key, const std::string& value) {
        Point& p = firstDone ? second : first;
        if (key == "X") {
            p.x = ParseInt(value);
            return true;
        }
        if (key == "Y") {
            p.y = ParseInt(value);
            firstDone = true;
            return true;
        }
        return false;
    }
};

}  // namespace qurix
