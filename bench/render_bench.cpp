// Generating every fixed picture, and drawing an opened side-10 board.

#include <benchmark/benchmark.h>

#include "core/game_view.h"
#include "core/geometry.h"
#include "render/board_pictures.h"
#include "render/cell_looks.h"
#include "render/face_pictures.h"
#include "render/panel_pictures.h"

namespace {

namespace render = quorvel::render;
namespace core = quorvel::core;

// Everything the program generates at start-up or on first use, built afresh each
// time: the board pictures and hit-test maps of the four sides, the digits, the
// panel, edges, background and boxes, and the fifteen faces and the icon.
void BM_GenerateAllPictures(benchmark::State& state) {
    for (auto _ : state) {
        for (int side : core::kSides) {
            benchmark::DoNotOptimize(render::makeBoardPicture(side));
            benchmark::DoNotOptimize(render::makeHitTestMap(side));
        }
        for (int digit = 0; digit <= 10; ++digit) {
            benchmark::DoNotOptimize(render::makeDigitPicture(digit));
        }
        benchmark::DoNotOptimize(render::makePanelPicture());
        benchmark::DoNotOptimize(render::makePanelEdgePicture());
        benchmark::DoNotOptimize(render::makeRightEdgePicture());
        benchmark::DoNotOptimize(render::makeBottomEdgePicture());
        benchmark::DoNotOptimize(render::makeBackgroundPicture());
        benchmark::DoNotOptimize(render::makeCounterBoxPicture());
        benchmark::DoNotOptimize(render::makeClockBoxPicture());
        for (const core::FaceSet faceSet : core::kFaceSets) {
            for (core::Face face : {core::Face::Normal, core::Face::Pressed, core::Face::Surprised,
                                    core::Face::Dead, core::Face::Winner}) {
                benchmark::DoNotOptimize(render::makeFacePicture(face, faceSet));
            }
        }
        benchmark::DoNotOptimize(render::makeIconPicture(16));
        benchmark::DoNotOptimize(render::makeIconPicture(32));
    }
}
BENCHMARK(BM_GenerateAllPictures)->Unit(benchmark::kMicrosecond);

// Every cell of a side-10 board opened as the game opens it: the sunken face, then
// the number in the style of the face set given as the argument. The drawing goes
// over the same picture each time; the work does not depend on what is there.
void BM_DrawOpenBoardSide10(benchmark::State& state) {
    const core::FaceSet faceSet = core::kFaceSets.at(static_cast<std::size_t>(state.range(0)));
    constexpr int kSide = 10;
    render::Picture field = render::boardPicture(kSide);
    std::vector<core::CellPos> cells;
    core::forEachCell(kSide, [&](core::CellPos cell) { cells.push_back(cell); });
    for (auto _ : state) {
        int n = 0;
        for (const core::CellPos& cell : cells) {
            render::drawOpenedCell(field, cell, n, faceSet);
            n = n == 6 ? 0 : n + 1;
        }
        benchmark::ClobberMemory();
    }
    state.counters["cells"] = static_cast<double>(cells.size());
}
BENCHMARK(BM_DrawOpenBoardSide10)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

}  // namespace
