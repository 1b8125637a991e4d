// Times the window's commands on a list of 10,000 entries: each must answer in well under 100 ms.
// Runs on the offscreen platform unless another is chosen.

#include <QAction>
#include <QApplication>
#include <QTableView>
#include <QPushButton>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "image_files.h"
#include "main_window.h"
#include "temp_dir.h"
#include "test_prompts.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kRuns = 7;

// The command and the repaint it causes.
double Milliseconds(const std::function<void()>& step) {
    const auto start = std::chrono::steady_clock::now();
    step();
    QApplication::processEvents();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// The median of several runs, each prepared by setUp outside the timing.
double Median(const std::function<void()>& setUp, const std::function<void()>& step) {
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        setUp();
        times.push_back(Milliseconds(step));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    vc::test::TempDir folder;
    const std::vector<uint8_t> image =
        vc::test::MakePalettedBmp(4, 4, vc::test::GreyPalette(4), [](int x, int y) { return (x + y) % 4; });
    QStringList files;
    for (int i = 0; i < kEntries + kRuns; ++i) {
        files << QString::fromStdString(folder.Write("texture" + std::to_string(i) + ".bmp", image));
    }
    const QStringList batch = files.mid(0, kEntries);

    vc::gui::test::TestPrompts prompts;
    vc::gui::TForm1 window(prompts, QString::fromStdString(folder.File("Vellumcraft.ini")));
    window.FormCreate({});
    window.show();
    QApplication::processEvents();

    std::printf("adding %d files in one drop: %.1f ms\n", kEntries, Milliseconds([&] { window.WMDropFiles(batch); }));
    int extra = kEntries;
    std::printf("adding one file to %d entries: %.2f ms\n", kEntries,
                Median([] {}, [&] { window.WMDropFiles({files[extra++]}); }));
    std::printf("refreshing the table: %.2f ms\n", Median([] {}, [&] { window.RefreshTable(); }));
    auto* byName = window.findChild<QAction*>("ByName1");
    auto* byPath = window.findChild<QAction*>("ByPath1");
    auto* descending = window.findChild<QAction*>("Descending1");
    auto* ascending = window.findChild<QAction*>("Ascending1");
    std::printf("sorting by name: %.2f ms\n", Median(
                                                  [&] {
                                                      descending->trigger();
                                                      byName->trigger();
                                                      ascending->trigger();
                                                  },
                                                  [&] { byName->trigger(); }));
    std::printf("sorting by path: %.2f ms\n", Median(
                                                  [&] {
                                                      descending->trigger();
                                                      byPath->trigger();
                                                      ascending->trigger();
                                                  },
                                                  [&] { byPath->trigger(); }));
    auto* down = window.findChild<QPushButton*>("BtnDown");
    std::printf("moving an entry: %.2f ms\n", Median([&] { window.SelectRow(kEntries / 2); }, [&] { down->click(); }));
    auto* remove = window.findChild<QPushButton*>("Button3");
    std::printf("deleting an entry: %.2f ms\n",
                Median([&] { window.SelectRow(kEntries / 2); }, [&] { remove->click(); }));
    return 0;
}
