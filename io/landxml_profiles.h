#pragma once
// The profiles (ProfAlign) of a parsed LandXML document, and the choice of one
// by the name `--profile` and the window's chooser take. The profile reader
// and the ground-line reader find a file's profiles the same way, so that a
// name chooses the same Profile element for both.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <pugixml.hpp>

#include "core/profile/units.h"

#include "io/io_failure.h"
#include "io/profile_files.h"
#include "io/xml_names.h"

namespace tarnvel::io {

// Calls `visit(alignment, profile)` for every Alignments/Alignment/Profile
// element of the document, in file order.
template <class Visit>
void ForEachProfileElement(pugi::xml_node root, Visit visit) {
    for (pugi::xml_node alignments : root.children()) {
        if (!Is(alignments, "Alignments")) continue;
        for (pugi::xml_node alignment : alignments.children()) {
            if (!Is(alignment, "Alignment")) continue;
            for (pugi::xml_node profile : alignment.children())
                if (Is(profile, "Profile")) visit(alignment, profile);
        }
    }
}

struct FoundProfile {
    pugi::xml_node alignment;
    pugi::xml_node profAlign;  // its parent is the Profile element
    LandXmlProfileName name;
};

// Every ProfAlign of the document, in file order.
std::vector<FoundProfile> FindProfiles(pugi::xml_node root);
// `name` empty: the first. Otherwise "ALIGNMENT/PROFILE", or PROFILE where that
// is unique; a name that matches none or several is refused, naming them.
Result<FoundProfile> ChooseProfile(const std::vector<FoundProfile>& found, std::string_view name,
                                   std::string_view path);

// A parsed LandXML document; its names and texts point into the bytes it was
// parsed from, which must outlive it.
struct LandXmlDocument {
    std::unique_ptr<pugi::xml_document> xml = std::make_unique<pugi::xml_document>();
    pugi::xml_node root;
};
// Parses `bytes` in place; a file that is not XML (the message names the line)
// or not LandXML is a failure naming the file.
Result<LandXmlDocument> LoadLandXmlDocument(std::string& bytes, std::string_view path);

// "第12行的<Curve>": where a node is, for messages; `bytes` are the file's.
std::string NodePlace(std::string_view bytes, pugi::xml_node node);
// A number attribute; `required` ones must be there.
Result<std::optional<double>> NumberAttribute(pugi::xml_node node, std::string_view local, bool required,
                                              std::string_view bytes, std::string_view path);
// The unit of length of the file's Units element (metres without one), as a
// profile holds it; refused, naming it, when it is unknown or no profile unit
// holds it exactly. One reader for the profile, its ground lines and the plan.
Result<HeldUnit> ReadLandXmlUnit(pugi::xml_node root, std::string_view path);
// The StaEquations of an alignment as breaks in road order. Where a file
// gives only staInternal and staAhead (as many do), the label behind the
// break follows from the stationing before it.
Result<std::vector<ChainBreak>> ReadStaEquations(pugi::xml_node alignment, std::string_view bytes,
                                                 std::string_view path);

}  // namespace tarnvel::io
