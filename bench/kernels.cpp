// Micro-benchmarks of the picture kernels: deinterlacing, and writing BMP and JPEG files, JPEG
// against the bare libjpeg-turbo encoder on the same buffer, with the ratios printed at the end.
//
// Files are written to $PICTOREL_BENCH_DIR, else to a folder beside this program (a real disk,
// unlike /tmp on many systems, so that the cost of flushing to disk is measured honestly).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <random>
#include <string>

#include <unistd.h>

#include <jpeglib.h>

#include "main/PictureFile.h"
#include "media/Bitmap.h"
#include "media/deinter.h"

namespace {

namespace fs = std::filesystem;

constexpr int JpegQuality = 90;

// A frame as video gives it: gradients, sensor noise, and objects that moved between the two
// fields (the odd rows show them shifted sideways), so that some areas comb and most do not.
Bitmap videoFrame(int width, int height) {
  std::mt19937 random(12345);
  std::normal_distribution<float> noise(0.0f, 4.0f);
  Bitmap frame(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = frame.MutableRow(y);
    const int shift = y % 2 ? width / 100 : 0;
    for (int x = 0; x < width; ++x) {
      const int mx = x + shift;
      const bool object = (mx / (width / 8)) % 3 == 1 && (y / (height / 6)) % 2 == 1;
      const float b = object ? 200.0f : 40.0f + 150.0f * x / width;
      const float g = object ? 60.0f : 30.0f + 180.0f * y / height;
      const float r = object ? 90.0f : 200.0f - 120.0f * (x + y) / (width + height);
      row[3 * x] = uint8_t(std::clamp(b + noise(random), 0.0f, 255.0f));
      row[3 * x + 1] = uint8_t(std::clamp(g + noise(random), 0.0f, 255.0f));
      row[3 * x + 2] = uint8_t(std::clamp(r + noise(random), 0.0f, 255.0f));
    }
  }
  return frame;
}

const Bitmap& fullHdFrame() {
  static const Bitmap frame = videoFrame(1920, 1080);
  return frame;
}

bool outputFolderUsed = false;

fs::path outputFolder() {
  static const fs::path folder = [] {
    outputFolderUsed = true;
    fs::path base;
    if (const char* chosen = std::getenv("PICTOREL_BENCH_DIR"))
      base = chosen;
    else
      base = fs::canonical("/proc/self/exe").parent_path() / "kernels-output";
    fs::create_directories(base);
    return base;
  }();
  return folder;
}

QString outputPath(const char* name) {
  return QString::fromStdString((outputFolder() / name).string());
}

// ---- Deinterlacing

void BM_Deinterlace(benchmark::State& state) {
  const int width = int(state.range(0)), height = int(state.range(1));
  const Bitmap source = videoFrame(width, height);
  Bitmap destination;  // reused between grabs, as the main window does
  for (auto _ : state) {
    Deinterlace(source, destination);
    benchmark::DoNotOptimize(destination.Row(0));
  }
  state.counters["Mpx"] = benchmark::Counter(
      double(width) * height * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Deinterlace)->Args({720, 576})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

// The worst case: one-line stripes, where every pixel of every odd row is repaired.
void BM_DeinterlaceAllCombed(benchmark::State& state) {
  const int width = 1920, height = 1080;
  Bitmap source(width, height);
  for (int y = 1; y < height; y += 2) std::memset(source.MutableRow(y), 255, size_t(width) * 3);
  Bitmap destination;
  for (auto _ : state) {
    Deinterlace(source, destination);
    benchmark::DoNotOptimize(destination.Row(0));
  }
  state.counters["Mpx"] = benchmark::Counter(
      double(width) * height * double(state.iterations()) / 1e6, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DeinterlaceAllCombed)->Unit(benchmark::kMicrosecond);

// ---- The bare encoder, as a program calling libjpeg-turbo directly would

void bareCompress(const Bitmap& picture, jpeg_compress_struct& cinfo) {
  cinfo.image_width = JDIMENSION(picture.Width());
  cinfo.image_height = JDIMENSION(picture.Height());
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, JpegQuality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(picture.Row(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
}

void BM_JpegBareToMemory(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  size_t bytes = 0;
  for (auto _ : state) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    bareCompress(picture, cinfo);
    jpeg_destroy_compress(&cinfo);
    bytes = size;
    std::free(buffer);
  }
  state.counters["KiB"] = double(bytes) / 1024;
}
BENCHMARK(BM_JpegBareToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();

void bareToFile(benchmark::State& state, bool syncToDisk) {
  const Bitmap& picture = fullHdFrame();
  const std::string path = outputPath("bare.jpg").toStdString();
  for (auto _ : state) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
      state.SkipWithError("cannot create the output file");
      return;
    }
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    bareCompress(picture, cinfo);
    jpeg_destroy_compress(&cinfo);
    if (syncToDisk) {
      std::fflush(file);
      ::fsync(fileno(file));
    }
    std::fclose(file);
  }
}

void BM_JpegBareToFile(benchmark::State& state) { bareToFile(state, false); }
BENCHMARK(BM_JpegBareToFile)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_JpegBareToFileSynced(benchmark::State& state) { bareToFile(state, true); }
BENCHMARK(BM_JpegBareToFileSynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Our writer

void BM_EncodeJpeg(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  size_t bytes = 0;
  for (auto _ : state) {
    std::vector<uint8_t> out;  // fresh each time, as the writer does
    if (!encodeJpeg(picture, JpegQuality, out)) state.SkipWithError("encoding failed");
    bytes = out.size();
  }
  state.counters["KiB"] = double(bytes) / 1024;
}
BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePictureFileJpeg(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  const QString path = outputPath("ours.jpg");
  for (auto _ : state)
    if (!WritePictureFile(picture, path, PictureFormat::JPEG, JpegQuality).ok)
      state.SkipWithError("writing failed");
}
BENCHMARK(BM_WritePictureFileJpeg)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same steps without the flush to disk, to show what the flush costs.
void BM_WritePictureFileJpegUnsynced(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  const QString path = outputPath("ours-unsynced.jpg");
  for (auto _ : state) {
    std::vector<uint8_t> out;
    if (!encodeJpeg(picture, JpegQuality, out) ||
        !writeFileAtomically(path, out.data(), out.size(), false).ok)
      state.SkipWithError("writing failed");
  }
}
BENCHMARK(BM_WritePictureFileJpegUnsynced)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePictureFileBmp(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  const QString path = outputPath("ours.bmp");
  for (auto _ : state)
    if (!WritePictureFile(picture, path, PictureFormat::BMP, 0).ok)
      state.SkipWithError("writing failed");
}
BENCHMARK(BM_WritePictureFileBmp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_WritePictureFileBmpUnsynced(benchmark::State& state) {
  const Bitmap& picture = fullHdFrame();
  const QString path = outputPath("ours-unsynced.bmp");
  for (auto _ : state) {
    std::vector<uint8_t> out;
    if (!encodeBmp(picture, out) || !writeFileAtomically(path, out.data(), out.size(), false).ok)
      state.SkipWithError("writing failed");
  }
}
BENCHMARK(BM_WritePictureFileBmpUnsynced)->Unit(benchmark::kMillisecond)->UseRealTime();

// ---- Ratios of our writer to the bare encoder, from the runs of this process

class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Iteration || median) {
        // Times in seconds whatever the display unit.
        const double seconds =
            run.real_accumulated_time / double(std::max<int64_t>(run.iterations, 1));
        const std::string name = run.run_name.function_name;
        if (median || !m_fromMedian.count(name)) m_seconds[name] = seconds;
        if (median) m_fromMedian[name] = true;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void printRatios() const {
    bool first = true;
    const auto ratio = [&](const char* what, const char* ours, const char* bare) {
      const auto a = m_seconds.find(ours), b = m_seconds.find(bare);
      if (a == m_seconds.end() || b == m_seconds.end()) return;
      if (first)
        std::printf(
            "\nRatios, JPEG quality %d on 1920x1080, wall-clock time (goal: at most 1.1):\n",
            JpegQuality);
      first = false;
      std::printf("  %-55s %6.3f  (%.2f ms / %.2f ms)\n", what, a->second / b->second,
                  a->second * 1e3, b->second * 1e3);
    };
    ratio("encodeJpeg / bare libjpeg to memory", "BM_EncodeJpeg", "BM_JpegBareToMemory");
    ratio("WritePictureFile unflushed / bare libjpeg to file", "BM_WritePictureFileJpegUnsynced",
          "BM_JpegBareToFile");
    ratio("WritePictureFile / bare libjpeg to file, flushed too", "BM_WritePictureFileJpeg",
          "BM_JpegBareToFileSynced");
    ratio("WritePictureFile / bare libjpeg to file, unflushed", "BM_WritePictureFileJpeg",
          "BM_JpegBareToFile");
  }

 private:
  std::map<std::string, double> m_seconds;
  std::map<std::string, bool> m_fromMedian;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printRatios();
  benchmark::Shutdown();
  if (outputFolderUsed) {
    std::printf("Files written in %s\n", outputFolder().c_str());
    std::error_code ignored;
    if (!std::getenv("PICTOREL_BENCH_DIR")) fs::remove_all(outputFolder(), ignored);
  }
  return 0;
}
