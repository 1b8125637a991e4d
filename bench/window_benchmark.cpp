// SPDX-License-Identifier: GPL-3.0-or-later
// Times the window's commands and their undo on a list of 10,000 entries, the preview pane with a
// 2048 × 2048 DXT5 texture, and a drop of 600 images: each command should answer within 50 ms.
// Runs on the offscreen platform unless another is chosen.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

#include "image_files.h"
#include "io/file_io.h"
#include "main_window.h"
#include "ops/texture_preview.h"
#include "preview_pane.h"
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
    const auto action = [&](const char* name) { return window.findChild<QAction*>(name); };
    const auto button = [&](const char* name) { return window.findChild<QPushButton*>(name); };
    const auto middle = [&] { window.SelectRow(kEntries / 2); };
    const auto selectAll = [&] { window.findChild<QTableView*>("Table")->selectAll(); };
    // Every command the list has, each timed, then its undo timed after it ran untimed.
    struct Command {
        const char* Name;
        std::function<void()> SetUp;
        std::function<void()> Run;
    };
    const Command commands[] = {
        {"sorting by name", [&] { action("Descending1")->trigger(); }, [&] { action("ByName1")->trigger(); }},
        {"sorting by path", [&] { action("Ascending1")->trigger(); }, [&] { action("ByPath1")->trigger(); }},
        {"sorting by format", [] {}, [&] { action("ByFormat1")->trigger(); }},
        {"moving an entry", middle, [&] { button("BtnDown")->click(); }},
        {"moving all entries but the first",
         [&] {
             window.SelectRow(1);
             selectAll();
             window.findChild<QTableView*>("Table")->selectionModel()->select(
                 window.findChild<QTableView*>("Table")->model()->index(0, 0),
                 QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
         },
         [&] { button("BtnUp")->click(); }},
        {"deleting an entry", middle, [&] { button("Button3")->click(); }},
        {"removing all alphas", [] {}, [&] { action("RemoveAlphas1")->trigger(); }},
        {"changing the output of every entry", selectAll,
         [&] {
             prompts.NextDialogActions.push_back([](QDialog& dialog) {
                 auto* format = dialog.findChild<QComboBox*>("cbxFormat");
                 format->setCurrentIndex(format->currentIndex() == 1 ? 2 : 1);
                 dialog.accept();
                 return dialog.result();
             });
             action("Change1")->trigger();
         }},
    };
    auto* undo = action("Undo1");
    for (const Command& command : commands) {
        std::printf("%s: %.2f ms\n", command.Name, Median(command.SetUp, command.Run));
        std::printf("  its undo: %.2f ms\n", Median(
                                                 [&] {
                                                     command.SetUp();
                                                     command.Run();
                                                 },
                                                 [&] { undo->trigger(); }));
    }

    // The preview pane with a 2048 × 2048 DXT5 texture: the window redraws a picture decoded on a
    // worker, which is timed apart.
    const std::string big = folder.Write(
        "big.bmp", vc::test::MakeTrueColourBmp(2048, 2048, [](int x, int y) {
            return vc::RgbColour{static_cast<uint8_t>(x), static_cast<uint8_t>(y), static_cast<uint8_t>(x ^ y)};
        }));
    window.WMDropFiles({QString::fromStdString(big)});
    window.SelectRow(static_cast<int>(window.CurrentWorkspace().TexList.size()));
    vc::TTexFile entry = window.CurrentWorkspace().TexList.back();
    entry.Output.Format = vc::TextureFormat::Dxt5;
    const auto decodeStart = std::chrono::steady_clock::now();
    const std::vector<vc::DecodedTexture> levels = vc::PreviewLevels(entry, vc::PreviewDepth::AllLevels);
    std::printf("decoding a 2048 x 2048 DXT5 preview of %zu levels on a worker: %.1f ms\n", levels.size(),
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - decodeStart).count());
    prompts.NextDialogActions.push_back([](QDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>("cbxFormat");
        format->setCurrentIndex(format->findText("DXT5"));
        dialog.accept();
        return dialog.result();
    });
    action("NewTextureDefaults")->trigger();
    const std::string bigDxt = folder.Write("bigdxt.bmp", vc::ReadWholeFile(big));
    window.WMDropFiles({QString::fromStdString(bigDxt)});
    action("PreviewPane1")->trigger();
    auto* pane = window.findChild<vc::gui::PreviewPane*>();
    window.SelectRow(static_cast<int>(window.CurrentWorkspace().TexList.size()));
    const auto* picture = window.findChild<QWidget*>("PreviewPicture");
    const auto waitStart = std::chrono::steady_clock::now();
    while (picture->width() < 100 && std::chrono::steady_clock::now() - waitStart < std::chrono::seconds(30)) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }
    const int rows = static_cast<int>(window.CurrentWorkspace().TexList.size());
    std::printf("showing the 2048 x 2048 DXT5 texture in the preview pane: %.2f ms\n",
                Median([&] { window.SelectRow(rows - 1); }, [&] { window.SelectRow(rows); }));
    auto* scale = window.findChild<QComboBox*>("PreviewScale");
    std::printf("  at 1:1: %.2f ms\n", Median([&] { scale->setCurrentIndex(0); }, [&] { scale->setCurrentIndex(1); }));
    std::printf("  zoomed in: %.2f ms\n", Median([&] { scale->setCurrentIndex(1); },
                                                 [&] {
                                                     QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(),
                                                                       QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                                                                       Qt::NoScrollPhase, false);
                                                     QApplication::sendEvent(pane, &wheel);
                                                 }));

    // Cancelling a build of 200 DXT1 textures with mipmaps: from the press of Cancel until the
    // window takes commands again.
    QStringList sources;
    for (int i = 0; i < 200; ++i) {
        sources << QString::fromStdString(
            folder.Write("dxt" + std::to_string(i) + ".bmp", vc::test::MakeTrueColourBmp(512, 512, [i](int x, int y) {
                             return vc::RgbColour{static_cast<uint8_t>(x * y + i), static_cast<uint8_t>(x ^ y), 99};
                         })));
    }
    prompts.NextAnswers.push_back(true);
    window.findChild<QPushButton*>("Button5")->click();
    prompts.NextDialogActions.push_back([](QDialog& dialog) {
        auto* format = dialog.findChild<QComboBox*>("cbxFormat");
        format->setCurrentIndex(format->findText("DXT1"));
        dialog.findChild<QCheckBox*>("cbxMipmaps")->setChecked(true);
        dialog.accept();
        return dialog.result();
    });
    action("NewTextureDefaults")->trigger();
    window.WMDropFiles(sources);
    prompts.ProgressReports.clear();
    prompts.CancelAtReport = 3;
    std::chrono::steady_clock::time_point cancelled;
    prompts.WhileReporting = [&] { cancelled = std::chrono::steady_clock::now(); };
    window.BuildTxd();
    std::printf("cancelling a build of 200 DXT1 textures of 512 x 512 with mipmaps: %.1f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - cancelled).count());
    prompts.CancelAtReport.reset();
    prompts.WhileReporting = nullptr;

    // A drop of 600 images, which shows its progress box once it has taken half a second.
    QStringList drop;
    for (int i = 0; i < 600; ++i) {
        drop << QString::fromStdString(folder.Write("drop" + std::to_string(i) + ".bmp", image));
    }
    prompts.NextAnswers.push_back(true);
    window.findChild<QPushButton*>("Button5")->click();
    std::printf("dropping 600 images on an empty list: %.1f ms (a progress box shows after 500 ms)\n",
                Milliseconds([&] { window.WMDropFiles(drop); }));
    return 0;
}
