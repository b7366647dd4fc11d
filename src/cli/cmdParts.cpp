#include "vxCli.h"
#include "vxJson.h"
#include "vxModel.h"
#include "vxPartsList.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

namespace vxCli {

namespace {

const char* kPartsHelp = "usage: kolbrik parts MODEL.kmf [--phase N] [--json] [--resources DIR]\n"
                         "\n"
                         "Lists the parts a builder needs: every part type in every colour with its\n"
                         "count, article number and name, sorted by group, number and colour.\n"
                         "Parts of phase 0 and below count with phase 1.\n"
                         "\n"
                         "  --phase N         only the parts that phase N adds (1 to the model's last)\n"
                         "  --json            print one JSON object instead of a table\n"
                         "  --resources DIR   read part definitions from DIR instead of the\n"
                         "                    installed resource folder\n";

void printJson(const std::string& file, std::optional<std::int32_t> phase,
               const std::vector<vxPartsListEntry>& list)
{
    std::string o = "{\"model\": " + vxJson::str(file);
    o += ", \"phase\": " + (phase ? std::to_string(*phase) : std::string("null"));
    o += ", \"total\": " + std::to_string(vxPartsListTotal(list));
    o += ", \"parts\": [";
    bool first = true;
    for (const auto& e : list) {
        if (!first)
            o += ", ";
        first = false;
        o += "{\"count\": " + std::to_string(e.count);
        o += ", \"number\": " + vxJson::str(e.number);
        o += ", \"name\": " + vxJson::str(e.name);
        o += ", \"short\": " + vxJson::str(e.shortName);
        o += ", \"group\": " + vxJson::str(e.group);
        o += ", \"color\": " + vxJson::str(vxColorHex(e.color));
        o += std::string(", \"found\": ") + (e.found ? "true" : "false") + "}";
    }
    o += "]}\n";
    std::fwrite(o.data(), 1, o.size(), stdout);
}

void printTable(const std::string& file, std::optional<std::int32_t> phase,
                const std::vector<vxPartsListEntry>& list)
{
    // The texts of the model and the definitions with their control
    // characters escaped, as kolbrik info shows them.
    std::vector<std::pair<std::string, std::string>> texts; // number, name
    std::size_t numberWidth = 6, nameWidth = 4;
    for (const auto& e : list) {
        texts.emplace_back(vxJson::printable(e.number), vxJson::printable(e.name));
        numberWidth = std::max(numberWidth, texts.back().first.size());
        nameWidth = std::max(nameWidth, texts.back().second.size());
    }
    auto pad = [](const std::string& s, std::size_t w) { return s + std::string(w - s.size(), ' '); };
    std::ostringstream o;
    const std::int32_t total = vxPartsListTotal(list);
    o << vxJson::printable(file) << (phase ? ", phase " + std::to_string(*phase) : std::string()) << ": "
      << total << (total == 1 ? " part" : " parts") << " of " << list.size()
      << (list.size() == 1 ? " kind" : " kinds") << "\n";
    if (!list.empty())
        o << "count  " << pad("number", numberWidth) << "  " << pad("name", nameWidth) << "  colour\n";
    int missing = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const vxPartsListEntry& e = list[i];
        std::string count = std::to_string(e.count);
        o << std::string(count.size() < 5 ? 5 - count.size() : 0, ' ') << count << "  "
          << pad(texts[i].first, numberWidth) << "  " << pad(texts[i].second, nameWidth) << "  "
          << vxColorHex(e.color);
        if (!e.found) {
            o << "  (not in the catalogue)";
            ++missing;
        }
        o << "\n";
    }
    if (missing)
        o << missing << " kind(s) of part without a definition in the resource folder.\n";
    std::cout << o.str();
}

} // namespace

int cmdParts(const std::vector<std::string>& argsIn)
{
    std::vector<std::string> args = argsIn;
    if (!takeResourcesOption(args))
        return 2;
    bool json = false;
    std::optional<std::int32_t> phase;
    std::string file;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::cout << kPartsHelp;
            return 0;
        } else if (a == "--json") {
            json = true;
        } else if (a == "--phase") {
            phase = wholeNumber(i + 1 < args.size() ? args[i + 1] : std::string());
            if (!phase) {
                fail("parts: --phase needs a whole number");
                return 2;
            }
            ++i;
        } else if (!a.empty() && a[0] == '-') {
            return usageError("parts: unknown option " + a, kPartsHelp);
        } else if (file.empty()) {
            file = a;
        } else {
            fail("parts: more than one model file given");
            return 2;
        }
    }
    if (file.empty()) {
        return usageError("parts: no model file given", kPartsHelp);
    }
    vxModel model;
    const vxLoadResult r = model.loadModelFromFile(file);
    if (!r) {
        fail(r.error);
        return 1;
    }
    if (phase && (*phase < 1 || *phase > model.maximumBauphase())) {
        fail("parts: --phase must be from 1 to " + std::to_string(model.maximumBauphase()) +
             ", the phases of " + file);
        return 2;
    }
    const std::string name = std::filesystem::path(file).filename().string();
    const auto list = vxMakePartsList(model, phase);
    if (json)
        printJson(name, phase, list);
    else
        printTable(name, phase, list);
    return 0;
}

} // namespace vxCli
