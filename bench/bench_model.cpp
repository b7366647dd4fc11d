// Parsing a generated model of 10,000 parts that name 50 part types.
#include "vxModel.h"
#include "vxResources.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Fixture {
    std::string folder;
    std::string modelPath;
    std::size_t bytes = 0;

    Fixture()
    {
        folder = (std::filesystem::temp_directory_path() / "kolbrik-bench-model").string();
        std::filesystem::create_directories(folder);
        for (int t = 0; t < 50; ++t) {
            std::ofstream d(folder + "/" + std::to_string(40000 + t) + ".def", std::ios::binary);
            d << "[COLOR]\r\nRED=200\r\nGREEN=20\r\nBLUE=20\r\n[COMMON]\r\nNAME=Part " << t
              << "\r\nENG=Part\r\nGROUP=" << t % 10 << "\r\nORGNUMBER=" << 40000 + t
              << "\r\n[OFFSET]\r\nX=0\r\nY=-7,5\r\nZ=0\r\n[CONNECTIONS]\r\nCOUNT=2\r\n"
                 "[CONN1]\r\nTYP=1\r\nX=0\r\nY=0\r\nZ=0\r\n[CONN2]\r\nTYP=0\r\nX=0\r\nY=15\r\nZ=0\r\n";
        }
        std::string text = "[CAMERA]\r\nPOSITIONX=40\r\nPOSITIONY=30\r\nPOSITIONZ=-60\r\nUPY=1\r\n"
                           "[COMMON]\r\nCOUNT=10000\r\nTUBECOUNT=0\r\nINFMODELL=Bench\r\n";
        for (int i = 0; i < 10000; ++i) {
            text += "[PART" + std::to_string(i + 1) + "]\r\nNAME=K" + std::to_string(40000 + i % 50) +
                    "_part\r\nXPOS=" + std::to_string(i % 100) + ",5\r\nYPOS=" + std::to_string(i / 100) +
                    "\r\nZPOS=0\r\nXUP=0\r\nYUP=1\r\nZUP=0\r\nXDIR=0\r\nYDIR=0\r\nZDIR=1\r\nPHASE=" +
                    std::to_string(1 + i / 500) + "\r\nCOLOR=" + std::to_string(i * 2654435761u % 16777216) +
                    "\r\n";
        }
        modelPath = folder + "/bench.kmf";
        std::ofstream(modelPath, std::ios::binary) << text;
        bytes = text.size();
        vxResources::setResourceFolder(folder);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_LoadModel10k(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        vxModel m;
        auto r = m.loadModelFromFile(f.modelPath);
        benchmark::DoNotOptimize(r);
        if (m.partList().size() != 10000)
            state.SkipWithError("wrong part count");
    }
    state.counters["parts/s"] = benchmark::Counter(10000.0 * state.iterations(), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(static_cast<int64_t>(f.bytes) * state.iterations());
}
BENCHMARK(BM_LoadModel10k)->Unit(benchmark::kMillisecond);

} // namespace
