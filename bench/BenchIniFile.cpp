// The configuration file store on a large configuration (LargeConfig.h):
// loading the file and reading every key, and writing every key into a new
// file and saving it. Argument: the scale (1 = 1,000 sequences, 100 presets,
// 100 TTCrx addresses); ten times the configuration should cost about ten
// times as much. Counters: the file's size and the peak heap the store took
// on top of what was in use before (its ratio to the file's size).
//   build-bench/bin/quorvane_bench --benchmark_filter=Ini

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <string_view>

#include "LargeConfig.h"
#include "settings/IniFile.h"

// --- heap accounting: every operator new of this program ---------------------

namespace {

std::atomic<std::size_t> gHeapInUse{0};
std::atomic<std::size_t> gHeapPeak{0};

void* Counted(void* p) {
  if (p == nullptr) throw std::bad_alloc();
  const std::size_t now = gHeapInUse += malloc_usable_size(p);
  std::size_t peak = gHeapPeak.load(std::memory_order_relaxed);
  while (now > peak && !gHeapPeak.compare_exchange_weak(peak, now)) {
  }
  return p;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  gHeapInUse -= malloc_usable_size(p);
  std::free(p);
}

// The peak heap in use since construction, above what was in use then.
class HeapPeak {
 public:
  HeapPeak() : Base_(gHeapInUse.load()) { gHeapPeak = Base_; }
  std::size_t Bytes() const { return gHeapPeak.load() - Base_; }

 private:
  std::size_t Base_;
};

}  // namespace

void* operator new(std::size_t n) { return Counted(std::malloc(n == 0 ? 1 : n)); }
void* operator new[](std::size_t n) { return Counted(std::malloc(n == 0 ? 1 : n)); }
void* operator new(std::size_t n, std::align_val_t a) {
  const std::size_t align = static_cast<std::size_t>(a);
  return Counted(std::aligned_alloc(align, (n + align - 1) / align * align));
}
void* operator new[](std::size_t n, std::align_val_t a) { return operator new(n, a); }
void operator delete(void* p) noexcept { Release(p); }
void operator delete[](void* p) noexcept { Release(p); }
void operator delete(void* p, std::size_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t) noexcept { Release(p); }
void operator delete(void* p, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::align_val_t) noexcept { Release(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { Release(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { Release(p); }

namespace {

class BenchFolder {
 public:
  BenchFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quorvane-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) Path_ = pattern;
  }
  ~BenchFolder() {
    std::error_code ec;
    if (!Path_.empty()) std::filesystem::remove_all(Path_, ec);
  }
  bool Ok() const { return !Path_.empty(); }
  std::string File(const std::string& name) const { return Path_ + "/" + name; }

 private:
  std::string Path_;
};

BenchFolder& Folder() {
  static BenchFolder folder;
  return folder;
}

// The large configuration file of a scale, written once per run; "" when it cannot be.
std::string LargeFile(int scale) {
  static std::map<int, std::string> files;
  const auto found = files.find(scale);
  if (found != files.end()) return found->second;
  std::string path = Folder().File("large-" + std::to_string(scale) + ".ini");
  if (!Folder().Ok() || !large_config::WriteLargeConfig(path, scale)) path.clear();
  files.emplace(scale, path);
  return path;
}

void SetFileCounters(benchmark::State& state, const std::string& path, std::size_t peak) {
  std::error_code ec;
  const double size = static_cast<double>(std::filesystem::file_size(path, ec));
  state.counters["file_MB"] = size / 1e6;
  state.counters["heap_peak_MB"] = static_cast<double>(peak) / 1e6;
  state.counters["peak_per_file"] = size > 0 ? static_cast<double>(peak) / size : 0;
}

// The cost of only enumerating the keys, part of both benchmarks below.
void BM_LargeConfigKeysOnly(benchmark::State& state) {
  for (auto _ : state) {
    std::size_t n = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&n](std::string_view section, std::string_view key, std::string_view value) {
          benchmark::DoNotOptimize(section.data());
          benchmark::DoNotOptimize(key.data());
          n += value.size() + static_cast<unsigned char>(value.back());
        });
    benchmark::DoNotOptimize(n);
  }
}
BENCHMARK(BM_LargeConfigKeysOnly)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Start-up: open the store on the file and read every key of it.
void BM_IniLoadLargeFile(benchmark::State& state) {
  const std::string path = LargeFile(static_cast<int>(state.range(0)));
  if (path.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  std::size_t peak = 0;
  std::size_t keys = 0;
  for (auto _ : state) {
    const HeapPeak heap;
    TIniFile file(path);
    keys = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&](std::string_view section, std::string_view key, std::string_view value) {
          const std::string read = file.ReadString(std::string(section), std::string(key), "");
          if (read != value) state.SkipWithError("a key read back wrong");
          ++keys;
        });
    peak = heap.Bytes();
  }
  SetFileCounters(state, path, peak);
  state.counters["keys"] = static_cast<double>(keys);
}
BENCHMARK(BM_IniLoadLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Close: write every key into a new file and save it.
void BM_IniSaveLargeFile(benchmark::State& state) {
  if (!Folder().Ok()) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = Folder().File("saved.ini");
  std::size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    unlink(path.c_str());
    state.ResumeTiming();
    const HeapPeak heap;
    TIniFile file(path);
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&file](std::string_view section, std::string_view key, std::string_view value) {
          file.WriteString(std::string(section), std::string(key), std::string(value));
        });
    file.UpdateFile();
    peak = heap.Bytes();
  }
  SetFileCounters(state, path, peak);
}
BENCHMARK(BM_IniSaveLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// Close over an existing file: every key is written again, one value in 16 changed.
void BM_IniRewriteLargeFile(benchmark::State& state) {
  const std::string source = LargeFile(static_cast<int>(state.range(0)));
  if (source.empty()) {
    state.SkipWithError("cannot write the large configuration");
    return;
  }
  const std::string path = Folder().File("rewritten.ini");
  std::size_t peak = 0;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::copy_file(source, path, std::filesystem::copy_options::overwrite_existing);
    state.ResumeTiming();
    const HeapPeak heap;
    TIniFile file(path);
    std::size_t n = 0;
    large_config::ForEachLargeConfigKey(
        static_cast<int>(state.range(0)),
        [&](std::string_view section, std::string_view key, std::string_view value) {
          file.WriteString(std::string(section), std::string(key),
                           ++n % 16 == 0 ? "changed" : std::string(value));
        });
    file.UpdateFile();
    peak = heap.Bytes();
  }
  SetFileCounters(state, path, peak);
}
BENCHMARK(BM_IniRewriteLargeFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

}  // namespace
