// Backup of a table-like file at level 9 against the least any archive of this layout costs:
// a bare loop compressing the same file in 16 384-byte blocks with compress2, and gzip -9 of
// the same file. The backup and restore commands run over a 99,999-record table (26 MB). Peak
// memory is reported per size to show it does not grow with the file.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "backup/backup_commands.h"
#include "backup/backup_file.h"

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kBlock = 16384;

// A dBase-like table: fixed 261-byte records of numbers, barcodes and padded text.
const fs::path& tableFile(std::size_t size) {
  static std::vector<std::pair<std::size_t, fs::path>> made;
  for (const auto& [madeSize, path] : made) {
    if (madeSize == size) return path;
  }
  const fs::path folder = fs::temp_directory_path() / ("vekrano-bench-" + std::to_string(getpid()));
  fs::create_directories(folder);
  const fs::path path = folder / ("article" + std::to_string(size) + ".dbf");
  std::ofstream out(path, std::ios::binary);
  std::mt19937 random(42);
  char record[262];
  for (std::size_t written = 0; written < size; written += 261) {
    std::snprintf(record, sizeof record, " %5u%-50s%-100s%-100s%3u%-2s", static_cast<unsigned>(written / 261 % 100000),
                  ("3760" + std::to_string(random() % 100000000)).c_str(),
                  ("Article " + std::to_string(random() % 5000) + " lot " + std::to_string(random() % 90)).c_str(),
                  random() % 3 ? "" : "Rayon frais", static_cast<unsigned>(random() % 20), random() % 2 ? "O" : "N");
    out.write(record, static_cast<std::streamsize>(std::min<std::size_t>(261, size - written)));
  }
  made.emplace_back(size, path);
  return made.back().second;
}

double peakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss);
}

void BM_BackupLevel9(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const fs::path& file = tableFile(size);
  const std::string archive = (file.parent_path() / "save.vkb").string();
  vekrano::backup::TBackupFile backup;
  backup.CompressionLevel = vekrano::backup::TCompressionLevel::clMax;
  for (auto _ : state) {
    if (!backup.Backup({file.string()}, archive)) state.SkipWithError("backup failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
  state.counters["peak_rss_kb"] = peakKilobytes();
  state.counters["archive_bytes"] = static_cast<double>(fs::file_size(archive));
}

void BM_Compress2BlockLoop(benchmark::State& state) {
  const auto size = static_cast<std::size_t>(state.range(0));
  const fs::path& file = tableFile(size);
  std::vector<Bytef> input(kBlock);
  std::vector<Bytef> output(compressBound(kBlock));
  for (auto _ : state) {
    std::FILE* in = std::fopen(file.c_str(), "rb");
    std::FILE* out = std::fopen((file.parent_path() / "loop.out").c_str(), "wb");
    std::size_t n = 0;
    while ((n = std::fread(input.data(), 1, kBlock, in)) > 0) {
      uLongf length = output.size();
      compress2(output.data(), &length, input.data(), n, 9);
      std::fwrite(output.data(), 1, length, out);
    }
    std::fclose(in);
    std::fclose(out);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(size));
  state.counters["peak_rss_kb"] = peakKilobytes();
}

constexpr std::size_t kTableSize = 99'999 * 261;

// The commands over a program directory holding the table as "article.dbf".
const std::string& commandFolder() {
  static const std::string folder = [] {
    const fs::path& file = tableFile(kTableSize);
    const fs::path dir = file.parent_path() / "program";
    fs::create_directories(dir);
    fs::copy_file(file, dir / "article.dbf", fs::copy_options::overwrite_existing);
    return dir.string() + "/";
  }();
  return folder;
}

void BM_BackupCommand(benchmark::State& state) {
  const std::string archive = fs::path(commandFolder()).parent_path().parent_path() / "cmd.vkb";
  for (auto _ : state) {
    vekrano::backup::TBackupFile component;
    if (!vekrano::backup::runBackup(component, commandFolder(), archive, {}).done()) {
      state.SkipWithError("backup failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kTableSize));
  state.counters["peak_rss_kb"] = peakKilobytes();
}

void BM_RestoreCommand(benchmark::State& state) {
  const std::string archive = fs::path(commandFolder()).parent_path().parent_path() / "cmd.vkb";
  vekrano::backup::TBackupFile component;
  vekrano::backup::runBackup(component, commandFolder(), archive, {});
  for (auto _ : state) {
    if (!vekrano::backup::runSafeRestore(component, commandFolder(), archive, {}).done()) {
      state.SkipWithError("restore failed");
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kTableSize));
  state.counters["peak_rss_kb"] = peakKilobytes();
}

void BM_Gzip9(benchmark::State& state) {
  const std::string command = "gzip -9 -c " + commandFolder() + "article.dbf > /dev/null";
  for (auto _ : state) {
    if (std::system(command.c_str()) != 0) state.SkipWithError("gzip failed");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(kTableSize));
}

// The small size runs first: a peak that stays the same at the large size shows memory flat.
BENCHMARK(BM_BackupLevel9)->Arg(2'600'000)->Arg(26'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress2BlockLoop)->Arg(26'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Compress2BlockLoop)->Arg(kTableSize)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BackupCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RestoreCommand)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gzip9)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::error_code ignored;
  fs::remove_all(fs::temp_directory_path() / ("vekrano-bench-" + std::to_string(getpid())), ignored);
  return 0;
}
