#pragma once

#include <string>

// What a record file's header says about the record it holds. Every text is
// empty when the file does not say (a Free Type file says nothing but its
// format and units).
struct RecordInfo {
    std::string Format;      // the file format's name: "Free Type", "PEER NGA", ...
    std::string Station;     // station code or name, as the header gives it
    std::string Component;   // component or direction label ("90", "N-S", "S16W")
    std::string EventTime;   // origin or record time, as the header writes it
    std::string SourceUnits; // units of the file's samples: "g", "cm/s²", "mm/s²", "counts"
    std::string StatedPeak;  // the header's own peak with its unit ("4.954 gal"), if any
};
