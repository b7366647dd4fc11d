// What every command shares about its output: the load's findings on
// stderr, the refusal to write over the model, standard output checked to
// its last flush.
#include "vxAtomicFile.h"
#include "vxCli.h"
#include "vxJson.h"
#include "vxLoadFindings.h"
#include "vxModel.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace vxCli {

namespace {
int g_outputError = 0; // the reason the first flush of standard output failed
} // namespace

void printWarnings(const std::vector<vxLoadFinding>& findings)
{
    for (const vxLoadFinding& f : findings)
        std::cerr << "kolbrik: warning: " << vxJson::printable(f.message) << "\n";
}

void printFindings(const vxModel& model, const std::vector<vxLoadFinding>& findings)
{
    printWarnings(findings);
    std::vector<vxLoadFinding> meshes;
    vxLoadFindings::addMeshFindings(model, meshes);
    printWarnings(meshes);
}

bool mayWrite(const std::string& model, const std::string& output)
{
    const vxWriteResult r = vxRefuseToOverwrite(model, output);
    if (!r)
        fail(r.error);
    return r.ok;
}

bool flushOutput()
{
    errno = 0;
    std::cout.flush();
    const bool lost = std::fflush(stdout) != 0 || std::ferror(stdout) || !std::cout.good();
    if (lost && g_outputError == 0)
        g_outputError = errno;
    return !lost;
}

int finishOutput(int status)
{
    bool lost = !flushOutput();
    if (!lost && ::close(STDOUT_FILENO) != 0 && errno != EBADF) {
        lost = true;
        g_outputError = errno;
    }
    if (!lost)
        return status;
    fail(std::string("cannot write standard output") +
         (g_outputError ? std::string(": ") + std::strerror(g_outputError) : ""));
    return status == 0 ? 1 : status;
}

} // namespace vxCli
