// "Export glTF..." and "Check Model..." through the window, and the finding count after a load:
// a clean grid model and one with more surfaces than the engines draw; the exported file read
// by the Khronos validator; a double-clicked finding showing its surface.
#include "WindowFixture.h"
#include "app/SurfacesTab.h"
#include "interchange/GltfReading.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;

namespace {
QString CheckSummary(const TWindowFixture& w) {
    return w.Form->findChild<QLabel*>("CheckSummary")->text();
}

// 33 surfaces, one more than a model or skin may have.
TMD3 TooManySurfaces() {
    TMD3 model = BuildGridMD3(2, 2, 1);
    while (model.Header.Surfaces.size() < 33)
        model.Header.Surfaces.push_back(model.Header.Surfaces.front());
    model.Header.numSurfaces = int32_t(model.Header.Surfaces.size());
    return model;
}
} // namespace

class ExportAndCheckTest : public QObject {
    Q_OBJECT
private slots:
    void LoadShowsTheFindingCountBesideTheStatus() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("grid.md3", BuildGridMD3(3, 3, 2)));
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QVERIFY(!CheckSummary(w).isEmpty());
        QVERIFY(!CheckSummary(w).contains("error"));

        w.LoadThroughCommand(w.WriteModel("many.md3", TooManySurfaces()));
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QVERIFY(CheckSummary(w).contains("error"));

        w.Trigger("actionModelClear");
        QVERIFY(CheckSummary(w).isEmpty());

        // Load From File ends on its own path, with the same count.
        w.Dialogs.Files.push_back({w.WriteModel("again.md3", TooManySurfaces())});
        w.Trigger("actionFileLoadAnyFromFile");
        QCOMPARE(w.Form->StatusText(), QString("MD3 loaded"));
        QVERIFY(CheckSummary(w).contains("error"));
    }

    void CheckModelListsFindingsAndShowsTheChosenSurface() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("many.md3", TooManySurfaces()));
        const std::vector<TFinding> findings = w.Form->CheckModel();
        const auto onSurface = std::find_if(findings.begin(), findings.end(),
                                            [](const auto& f) { return f.Where.Surface > 0; });
        const auto surfaces = std::find_if(findings.begin(), findings.end(),
                                           [](const auto& f) { return f.Code == "surfaces"; });
        QVERIFY(surfaces != findings.end());
        QCOMPARE(surfaces->Severity, TSeverity::Error);

        if (onSurface != findings.end())
            w.Dialogs.ListChoices.push_back(size_t(onSurface - findings.begin()));
        w.Trigger("actionToolsCheckModel");
        QCOMPARE(w.Dialogs.ListsShown.size(), size_t(1));
        const std::vector<std::string>& list = w.Dialogs.ListsShown[0];
        QCOMPARE(list.front(), std::string("Check Model"));
        QCOMPARE(list.size(), findings.size() + 1);
        QCOMPARE(list[size_t(surfaces - findings.begin()) + 1].rfind("error: ", 0), size_t(0));
        QCOMPARE(w.Form->StatusText(),
                 QString::fromStdString("Model checked: " + FindingSummary(findings)));
        if (onSurface != findings.end())
            QCOMPARE(w.Inside().tabSurfaces->cbNamesSurfaces->currentIndex(),
                     onSurface->Where.Surface);
    }

    void ExportWritesAValidFileOfTheChosenKind() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("grid.md3", BuildGridMD3(3, 3, 4, 2)));
        const std::string base = w.Home.File("grid export");
        w.Dialogs.Files.push_back({base});
        w.Dialogs.FilterChoices.push_back(2);
        w.Trigger("actionFileExportGltf");
        QVERIFY(w.Dialogs.Errors.empty());
        QCOMPARE(w.Form->StatusText(), QString("Model exported to file: grid export.gltf"));
        const TValidation validation = ValidateGltf(base + ".gltf");
        QVERIFY2(validation.Ran, validation.Failure.c_str());
        QCOMPARE(validation.Errors, 0);
        QVERIFY(std::filesystem::exists(base + ".bin"));
        const tinygltf::Model model = LoadGltf(base + ".gltf");
        QCOMPARE(model.meshes.size(), size_t(1));
        QVERIFY(NodeNamed(model, "tag_0") >= 0);

        w.Dialogs.Files.push_back({w.Home.File("grid.glb")});
        w.Trigger("actionFileExportGltf");
        QCOMPARE(w.Form->StatusText(), QString("Model exported to file: grid.glb"));
        QCOMPARE(ValidateGltf(w.Home.File("grid.glb")).Errors, 0);
    }

    void ExportThatCannotBeWrittenSaysSoAndLeavesNoFile() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("grid.md3", BuildGridMD3(2, 2, 1)));
        const std::string path = w.Home.File("no/such/folder/x.glb");
        w.Dialogs.Files.push_back({path});
        w.Trigger("actionFileExportGltf");
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QVERIFY(!std::filesystem::exists(path));
        QVERIFY(!w.Inside().State.Busy);
    }

    void NothingLoadedOffersNeitherCommand() {
        TWindowFixture w;
        QVERIFY(!w.Form->findChild<QAction*>("actionFileExportGltf")->isEnabled());
        QVERIFY(!w.Form->findChild<QAction*>("actionToolsCheckModel")->isEnabled());
    }
};

QTEST_MAIN(ExportAndCheckTest)
#include "ExportAndCheckTest.moc"
