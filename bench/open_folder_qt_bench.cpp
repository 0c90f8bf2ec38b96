// The open dialog on large folders: listing a folder of N files into the
// file list, and gathering them all into the selection and the picture list.
// A user browsing a camera dump of thousands of pictures waits on these.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <cstdlib>
#include <fstream>
#include <map>
#include <memory>
#include <string>

#include "base/viewer_context.h"
#include "bench_main.h"
#include "engine/qt/file_names.h"
#include "files/OpenFrm.h"
#include "support/temp_dir.h"

namespace {

// One folder per size, made once: half pictures, half other files.
const zelmar::test::TempDir& folderOf(int files) {
  static std::map<int, std::unique_ptr<zelmar::test::TempDir>> folders;
  auto& dir = folders[files];
  if (!dir) {
    dir = std::make_unique<zelmar::test::TempDir>();
    for (int i = 0; i < files; ++i)
      std::ofstream(dir->path() / ("IMG_" + std::to_string(i) + (i % 2 ? ".JPG" : ".txt"))) << "x";
  }
  return *dir;
}

// No preview engine: the lists are what is measured.
ImageEngine* noPreview(QWidget*) { return nullptr; }

void BM_ListFolder(benchmark::State& state) {
  const int files = int(state.range(0));
  const QString folder = filenames::fromFsPath(folderOf(files).path());
  ViewerContext context(noPreview);
  OpenFrm frm(context);
  frm.File1->setPattern(QStringLiteral("*.jpg;*.bmp;*.pcx;*.tif;*.tga;*.jpeg"));
  for (auto _ : state) {
    frm.Dir1->setPath(folder);
    benchmark::DoNotOptimize(frm.File1->count());
  }
  if (frm.File1->count() != files / 2) state.SkipWithError("wrong number of files listed");
  state.SetItemsProcessed(state.iterations() * files);
}

void BM_AddAllAndOk(benchmark::State& state) {
  const int files = int(state.range(0));
  ViewerContext context(noPreview);
  OpenFrm frm(context);
  frm.Dir1->setPath(filenames::fromFsPath(folderOf(files).path()));
  for (auto _ : state) {
    frm.Command4_Click();
    frm.Command3_Click();
    frm.Command1_Click();
  }
  if (frm.List1->count() != files) state.SkipWithError("wrong number of files added");
  state.SetItemsProcessed(state.iterations() * files);
}

BENCHMARK(BM_ListFolder)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddAllAndOk)->Arg(1000)->Arg(5000)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return zelmar::bench::runBenchmarks(argc, argv);
}
