// kolbrik-modelgen: builds the models of the shipped library and writes
// them as model files into the library folder.

#include "vxAtomicFile.h"
#include "vxLibraryModels.h"
#include "vxStampFile.h"
#include "vxStepCheck.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

using namespace vxGen;

namespace fs = std::filesystem;

namespace {

void usage(std::ostream& o)
{
    o << "usage: kolbrik-modelgen --out FOLDER [--stamp FILE] [--only PATH]...\n"
         "       kolbrik-modelgen --list\n"
         "  --out FOLDER   write KIT/NAME.kmf of every library model below FOLDER\n"
         "  --stamp FILE   list of the files written; model files of an earlier run\n"
         "                 that the library no longer has are removed from FOLDER\n"
         "  --only PATH    build only this model (KIT/NAME), repeatable\n"
         "  --list         print the models with their part, tube and step counts and what\n"
         "                 in their steps a builder would stumble over\n"
         "  --unchecked    write models even when parts are not joined (to look at them)\n"
         "  --view AZ,EL   look from this side instead of the model's own (degrees), to try\n"
         "                 camera sides out\n";
}

// Writes text to path through a temporary file, unless it already holds it.
void writeIfChanged(const fs::path& path, const std::string& text)
{
    fs::create_directories(path.parent_path());
    if (const vxWriteResult r = vxWriteFileIfChanged(path.string(), text); !r)
        throw std::runtime_error(r.error);
}

} // namespace

int main(int argc, char** argv)
{
    std::string out, stamp;
    std::set<std::string> only;
    bool list = false, unchecked = false;
    std::optional<std::pair<double, double>> view;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--stamp" || a == "--only") && i + 1 < argc) {
            const std::string v = argv[++i];
            if (a == "--out")
                out = v;
            else if (a == "--stamp")
                stamp = v;
            else
                only.insert(v);
        } else if (a == "--list") {
            list = true;
        } else if (a == "--unchecked") {
            unchecked = true;
        } else if (a == "--view" && i + 1 < argc) {
            double az = 0, el = 0;
            if (std::sscanf(argv[++i], "%lf,%lf", &az, &el) != 2) {
                usage(std::cerr);
                return 2;
            }
            view = std::pair{az, el};
        } else if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        } else {
            usage(std::cerr);
            return 2;
        }
    }
    if (out.empty() && !list) {
        usage(std::cerr);
        return 2;
    }

    std::vector<std::string> written;
    std::size_t totalParts = 0;
    for (const vxLibraryModel& m : vxLibraryModels()) {
        if (!only.empty() && !only.count(m.path))
            continue;
        std::string text;
        vxModelBuilder b;
        try {
            m.build(b);
            if (view)
                b.setView(view->first, view->second);
            if (unchecked)
                for (const std::string& p : b.problems())
                    std::cerr << "kolbrik-modelgen: " << m.path << ": " << p << "\n";
            text = b.modelFile(!unchecked);
        } catch (const std::exception& e) {
            std::cerr << "kolbrik-modelgen: " << m.path << ": " << e.what() << "\n";
            return 1;
        }
        totalParts += b.size();
        if (list) {
            int phases = 0;
            for (const auto& p : b.parts())
                phases = std::max(phases, p.phase);
            const vxStepReport steps = vxCheckSteps(b);
            std::cout << m.path << ": " << b.size() << " parts, " << b.tubes().size() << " tubes, "
                      << steps.steps << " steps\n";
            for (const std::string& p : steps.problems)
                std::cout << "  " << p << "\n";
        }
        if (!out.empty()) {
            const std::string file = m.path + ".kmf";
            try {
                writeIfChanged(fs::path(out) / file, text);
            } catch (const std::exception& e) {
                std::cerr << "kolbrik-modelgen: " << e.what() << "\n";
                return 1;
            }
            written.push_back(file);
        }
    }
    if (list)
        std::cout << vxLibraryModels().size() << " models, " << totalParts << " parts\n";

    // The model files (and their pictures) of an earlier run that the
    // library no longer makes go.
    if (!stamp.empty() && !out.empty() && only.empty() &&
        !vxStampFile::update(stamp, out, written, {".kmf"}, {".bmp"})) {
        std::cerr << "kolbrik-modelgen: cannot write " << stamp << "\n";
        return 1;
    }
    return 0;
}
