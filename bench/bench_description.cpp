// The run description box with long one-line texts: showing, editing and
// saving take time in proportion to the text, for a text of words and for
// one unbroken word alike.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <memory>

#include "runfile/runfile.h"
#include "ui/description_box.h"
#include "ui/twips.h"

namespace {

QString OneLine(int64_t length, bool words) {
  const QString piece = words ? QStringLiteral("abcdefghi ") : QStringLiteral("abcdefghij");
  return piece.repeated(static_cast<int>(length / piece.size()));
}

std::unique_ptr<QPlainTextEdit> ShownBox() {
  std::unique_ptr<QPlainTextEdit> box(MakeDescriptionBox(nullptr));
  box->setGeometry(TwipRect(1680, 300, 6615, 525));
  box->show();
  return box;
}

// setPlainText lays the paragraph out at once.
void Show(benchmark::State& state, bool words) {
  const QString text = OneLine(state.range(0), words);
  for (auto _ : state) {
    auto box = ShownBox();
    box->setPlainText(text);
    QCoreApplication::processEvents();
  }
  state.SetBytesProcessed(state.iterations() * state.range(0));
}

// One character typed at the end relays the whole paragraph out.
void Edit(benchmark::State& state, bool words) {
  auto box = ShownBox();
  box->setPlainText(OneLine(state.range(0), words));
  for (auto _ : state) {
    QTextCursor end(box->document());
    end.movePosition(QTextCursor::End);
    end.insertText("x");
    QCoreApplication::processEvents();
  }
}

// The box's text taken into the run and encoded as a run file.
void Save(benchmark::State& state, bool words) {
  auto box = ShownBox();
  box->setPlainText(OneLine(state.range(0), words));
  for (auto _ : state) {
    RunRecord run;
    run.general[0] = box->toPlainText().toStdString();
    benchmark::DoNotOptimize(EncodeRunFile(run));
  }
}

void ShowWords(benchmark::State& s) {
  Show(s, true);
}
void ShowOneWord(benchmark::State& s) {
  Show(s, false);
}
void EditWords(benchmark::State& s) {
  Edit(s, true);
}
void EditOneWord(benchmark::State& s) {
  Edit(s, false);
}
void SaveOneWord(benchmark::State& s) {
  Save(s, false);
}

void Sizes(benchmark::internal::Benchmark* b) {
  b->Arg(100'000)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)->Iterations(1);
}

}  // namespace

BENCHMARK(ShowWords)->Apply(Sizes);
BENCHMARK(ShowOneWord)->Apply(Sizes);
BENCHMARK(EditWords)->Apply(Sizes);
BENCHMARK(EditOneWord)->Apply(Sizes);
BENCHMARK(SaveOneWord)->Apply(Sizes);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
