// kolbrik-partgen: writes the part catalogue (definitions and meshes) into a
// resource folder, and prints it as a table.

#include "vxPartCatalog.h"
#include "vxStampFile.h"

#include <algorithm>
#include <exception>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <vector>

using namespace vxGen;

namespace {

void usage(std::ostream& o)
{
    o << "usage: kolbrik-partgen [--out FOLDER [--stamp FILE]] [--table] [--check]\n"
         "  --out FOLDER   write NNNNN.def and NNNNN.stl of every part type into FOLDER\n"
         "  --stamp FILE   list of the files written; files of an earlier run that are\n"
         "                 no longer part of the catalogue are removed from FOLDER\n"
         "  --table        print the part types with triangle counts, sizes, connections\n"
         "  --check        check every mesh (closed, oriented, no self-intersection)\n";
}

} // namespace

int main(int argc, char** argv)
{
    std::string out, stamp;
    bool table = false, check = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--stamp") && i + 1 < argc) {
            (a == "--out" ? out : stamp) = argv[++i];
        } else if (a == "--table") {
            table = true;
        } else if (a == "--check") {
            check = true;
        } else if (a == "--help" || a == "-h") {
            usage(std::cout);
            return 0;
        } else {
            usage(std::cerr);
            return 2;
        }
    }
    if (out.empty() && !table && !check) {
        usage(std::cerr);
        return 2;
    }
    try {
        int status = 0;
        if (check) {
            for (const auto& p : vxPartCatalog::partTypes()) {
                const vxMeshReport r = checkMesh(vxPartCatalog::mesh(p.shortName), true);
                if (!r.solid()) {
                    std::cerr << "kolbrik-partgen: " << p.shortName << " " << p.name << ": " << r.summary()
                              << "\n";
                    status = 1;
                }
            }
        }
        if (!out.empty()) {
            std::vector<std::string> written;
            std::string error;
            if (!vxPartCatalog::writeResources(out, &written, &error)) {
                std::cerr << "kolbrik-partgen: " << error << "\n";
                return 1;
            }
            if (!stamp.empty() && !vxStampFile::update(stamp, out, written, {".def", ".stl"})) {
                std::cerr << "kolbrik-partgen: cannot write " << stamp << "\n";
                return 1;
            }
        }
        if (table)
            std::cout << vxPartCatalog::table();
        return status;
    } catch (const std::exception& e) {
        std::cerr << "kolbrik-partgen: " << e.what() << "\n";
        return 1;
    }
}
