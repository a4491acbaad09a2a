// Settings files with many sections or keys: listing the sections and reading every key of a section,
// with the file unchanged on disk between reads (as a program reads its settings after start-up).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/rtl/IniFile.h"
#include "platform/rtl/StringList.h"

using namespace plat;

namespace {

// A settings file in a fresh temporary folder, dated an hour back so that it counts as settled.
class TBenchFile {
public:
    explicit TBenchFile(const std::string& content) {
        char pattern[] = "/tmp/lumetra-inibench-XXXXXX";
        if (!::mkdtemp(pattern))
            std::abort();
        FFolder = pattern;
        FName = FFolder + "/bench.ini";
        std::ofstream(FName, std::ios::binary) << content;
        timespec past[2];
        ::clock_gettime(CLOCK_REALTIME, &past[0]);
        past[0].tv_sec -= 3600;
        past[1] = past[0];
        ::utimensat(AT_FDCWD, FName.c_str(), past, 0);
    }
    ~TBenchFile() {
        ::unlink(FName.c_str());
        ::rmdir(FFolder.c_str());
    }
    const std::string& Name() const { return FName; }

private:
    std::string FFolder, FName;
};

std::string ManySections(int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += "[Section" + std::to_string(i) + "]\r\nKey=" + std::to_string(i) + "\r\n";
    return s;
}

std::string ManyKeys(int count) {
    std::string s = "[Keys]\r\n";
    for (int i = 0; i < count; ++i)
        s += "Key" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    return s;
}

void BM_ReadSections(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TBenchFile file(ManySections(count));
    TIniFile ini(file.Name());
    TStringList names;
    for (auto _ : state) {
        ini.ReadSections(names);
        if (names.Count() != count)
            state.SkipWithError("wrong section count");
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadSections)->Arg(10000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

// Every key of one section read by name, one ReadString call each.
void BM_ReadEveryKey(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    TBenchFile file(ManyKeys(count));
    TIniFile ini(file.Name());
    for (auto _ : state) {
        for (int i = 0; i < count; ++i)
            if (ini.ReadString("Keys", "Key" + std::to_string(i), "").empty())
                state.SkipWithError("key missing");
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_ReadEveryKey)->Arg(10000)->Arg(20000)->Arg(80000)->Unit(benchmark::kMillisecond);

} // namespace
