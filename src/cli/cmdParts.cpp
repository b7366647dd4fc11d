#include "vxCli.h"
#include "vxCommandOptions.h"
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
    const Arguments args(kPartsOptions, argsIn);
    if (args.exit())
        return *args.exit();
    std::optional<std::int32_t> phase;
    if (!args.readWholeNumber("--phase", phase))
        return 2;
    const std::string* given = args.modelFile();
    if (!given)
        return 2;
    const bool json = args.has("--json");
    const std::string& file = *given;
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
