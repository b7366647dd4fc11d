#pragma once

#include <cstdint>
#include <string>
#include <vector>

class vxModel;

namespace vxSectionText {
class NumberWatch;
}

// Something about a model file that its reader should be told. The load has
// gone ahead as far as the file allowed; a finding only says what was left
// out or read differently from what the file seems to mean.
struct vxLoadFinding {
    enum class Kind {
        kEmptyFile,      // the file holds no bytes
        kNotText,        // the bytes are not text (binary data)
        kLineEnds,       // lines end in LF or CR alone, so the file is one line; name: "LF" or "CR"
        kNoSections,     // no [CAMERA], [COMMON], [PARTn] or [TUBEn] section at all
        kMissingParts,   // COUNT names more parts than sections with a NAME; count: parts left empty
        kUnknownPart,    // a part NAME without a definition; name: the NAME, count: parts
        kMissingMesh,    // a part type without a mesh; name: short name, count: parts
        kEmptyMesh,      // a part type whose mesh holds no whole triangle; name, count as above
        kBadNumber,      // a value that is not a number where one belongs; key, section, value, readAs, line
        kMoreBadNumbers, // count: further bad numbers not listed one by one
        // Tubes that draw nothing; section: the first such tube's header
        // ("[TUBE3]"), count: the tubes with this fault.
        kTubeFewNodes,  // fewer than two nodes (COUNT)
        kTubeBadNode,   // a node that is not a finite number
        kTubeBadRadius, // a radius that is not a finite number above 0
    };

    Kind kind = Kind::kEmptyFile;
    std::string message; // one plain English sentence
    std::string name;    // part NAME, short name or line ending, by kind
    std::string title;   // the part type's display name, when its definition has one
    std::string key;     // kBadNumber: the key (upper case)
    std::string section; // kBadNumber: the section header as written, quoted; empty before the first;
                         // tubes: see their kinds
    std::string value;   // kBadNumber: the value as written, quoted
    std::int64_t sectionLength = 0; // kBadNumber: the characters of the whole section header
    std::int64_t valueLength = 0;   // kBadNumber: the characters of the whole value
    std::string readAs;             // kBadNumber: what the value was read as
    std::int64_t line = 0;          // kBadNumber: 1-based line number
    std::int64_t count = 0;

    // Whether the finding is about parts that are missing from the picture.
    bool isAboutParts() const;
    // Whether the value, or the section header, of a kBadNumber is longer
    // than the characters quoted (the first 40).
    bool valueIsCut() const;
    bool sectionIsCut() const;
};

namespace vxLoadFindings {

// The findings about a model just read from text (the file's bytes as
// decoded), with the bad numbers a NumberWatch saw during the load: the file
// as a whole, then missing part sections and unknown parts (grouped by NAME,
// in order of first appearance), then the numbers, then the tubes that draw
// nothing (one finding per fault).
std::vector<vxLoadFinding> collect(const vxModel& model, const std::string& text,
                                   const vxSectionText::NumberWatch& numbers);

// Appends the findings about the meshes of the model's part types that have a
// definition: missing, unreadable or without a whole triangle. Reads only the
// head of each mesh file, once per part type.
void addMeshFindings(const vxModel& model, std::vector<vxLoadFinding>& findings);

// The number of parts that the findings say are missing from the picture.
std::int64_t partsNotShown(const std::vector<vxLoadFinding>& findings);

} // namespace vxLoadFindings
