// Game core timings: the pixel -> cell lookup, a board-wide flood fill and the
// densest mine placement. Run by hand; the figures go into the issue notes.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>

#include "core/game.h"
#include "core/geometry.h"
#include "core/random_source.h"

namespace {

using namespace quorvel::core;

// A window that shows nothing.
class SilentView final : public GameView {
  public:
    void drawCell(CellPos, CellLook, FaceSet) override {}
    void drawOpenedCell(CellPos, int, FaceSet) override {}
    void showBoard() override {}
    void layoutBoard(int) override {}
    void showFace(Face, FaceSet) override {}
    void showCounter(int) override {}
    void showClock(int) override {}
    void runClock(bool) override {}
    bool isMinimized() const override { return false; }
    void showLevelMark(Level) override {}
    void showFaceMark(FaceSet) override {}
};

// Always draws the anchor pixel of one cell, so that one mine lands there.
class OneCellRandom final : public RandomSource {
  public:
    OneCellRandom(int side, CellPos cell) : side_(side), cell_(cell) {}
    void reseed() override { wantX_ = true; }
    double uniform() override {
        const bool x = wantX_;
        wantX_ = !wantX_;
        return x ? (anchorX(cell_.c) + 0.5) / boardWidth(side_)
                 : (cellY(cell_.r) + 0.5) / boardHeight(side_);
    }

  private:
    int side_;
    CellPos cell_;
    bool wantX_ = true;
};

void BM_HitTestSide10(benchmark::State& state) {
    const int side = 10;
    const int width = mapWidth(side);
    const int height = mapHeight(side);
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const std::optional<CellPos> cell = cellAtMapPoint(side, x, y);
                sum += cell ? cell->c + cell->r : -2;
            }
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}
BENCHMARK(BM_HitTestSide10);

void BM_FloodFillSide10(benchmark::State& state) {
    const int side = 10;
    SilentView view;
    // The mine in the top cell of the left edge, the opening at the bottom cell of
    // the right edge: every other cell, 270 of them, opens in one fill.
    OneCellRandom random(side, {0, side - 1});
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseCustomBoard(side, 1);
    const CellPos opened{2 * side - 2, 3 * side - 3};
    for (auto _ : state) {
        game.newGame();
        game.openCell(opened);
        benchmark::DoNotOptimize(game.coveredCount());
    }
    if (game.state() != GameState::Won || game.coveredCount() != 1) {
        state.SkipWithError("the fill did not open the whole board");
    }
    state.SetItemsProcessed(state.iterations() * (cellCount(side) - 1));
}
BENCHMARK(BM_FloodFillSide10)->Unit(benchmark::kMicrosecond);

void BM_PlaceMinesDense(benchmark::State& state) {
    const int side = 10;
    const int mines = 135;
    SilentView view;
    SeededRandom random(2026);
    Game game(view, random);
    game.chooseFaceSet(FaceSet::Yellow);
    game.chooseCustomBoard(side, mines);
    // The board is handed over as something the benchmark may change: newer
    // releases of the benchmark library deprecate the read-only form for a value
    // this large, which lets the compiler drop writes that nothing reads.
    Board& board = game.boardForTesting();
    for (auto _ : state) {
        board.clear();
        game.placeMines(mines, {side - 1, 2 * side - 2});
        benchmark::DoNotOptimize(board);
    }
}
BENCHMARK(BM_PlaceMinesDense)->Unit(benchmark::kMicrosecond);

}  // namespace
