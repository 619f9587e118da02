// `quillon --render` run as a program, as scripts run it: pictures of a generated MD3, a
// generated map and the demo model compared by pixel counts (the model's colour where the model
// is, the background elsewhere), the alpha of --alpha, and the exit codes and messages for
// missing, broken and unwritable paths and for bad arguments.
#include "GameDataBuilder.h"
#include "images/Tga.h"
#include "mapimport/MapBuilder.h"
#include "support/MD3Builder.h"

#include <QImage>
#include <QProcess>
#include <QTest>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {

using TRgb = std::array<int, 3>;
constexpr TRgb GradientTop{100, 139, 203};
constexpr TRgb GradientBottom{166, 202, 240};

struct TRun {
    int Exit = -1;
    std::string Errors;
};

// An application folder with the "textures" folder (no sky images: the gradient shows), a small
// game folder, and settings that draw unlit without tags, so colours come out as painted.
struct TRenderHome {
    TRenderHome() {
        fs::create_directories(Home.File("textures"));
        fs::create_directories(Game.File("etmain"));
        WriteZip(Game.File("etmain/pak0.pk3"), {{"scripts/other.shader", "other/shader\n{\n}\n"}});
        WriteText(Home.File("quillon.ini"),
                  "[Game]\nGameDir=" + Game.Path + "\n[View]\nLighting=0\nShowTags=0\n");
    }
    TRun Render(const QStringList& arguments, const std::string& home = "") const {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("QUILLON_HOME", QString::fromStdString(home.empty() ? Home.Path : home));
        environment.remove("DISPLAY"); // no X server is needed
        process.setProcessEnvironment(environment);
        process.start(QUILLON_PROGRAM_PATH, QStringList{"--render"} + arguments);
        process.waitForFinished(120000);
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                process.readAllStandardError().toStdString()};
    }
    QString File(const std::string& name) const { return QString::fromStdString(Home.File(name)); }

    TempDir Home;
    TempDir Game;
};

void WriteSolidTga(const std::string& path, TRgb colour) {
    std::string bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = bytes[14] = 4;
    bytes[16] = 24;
    for (int i = 0; i < 16; ++i)
        bytes += {char(colour[2]), char(colour[1]), char(colour[0])};
    WriteText(path, bytes);
}

TRgb At(const QImage& image, int x, int y) {
    const QRgb pixel = image.pixel(x, y);
    return {qRed(pixel), qGreen(pixel), qBlue(pixel)};
}

bool Near(const TRgb& a, const TRgb& b, int tolerance = 4) {
    for (int k = 0; k < 3; ++k)
        if (std::abs(a[k] - b[k]) > tolerance)
            return false;
    return true;
}

double Share(const QImage& image, const std::function<bool(const TRgb&)>& test) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += test(At(image, x, y));
    return double(count) / (image.width() * image.height());
}

// A part of a player: one upright square facing +x (both windings, so it shows from either side)
// from height 0 to `height`, `halfWidth` either side, surface "s", and one tag per name at
// height `height`.
TMD3 UprightPart(float halfWidth, float height, const std::vector<std::string>& tags) {
    TMD3 model;
    THeader& h = model.Header;
    h.numFrames = 1;
    h.Frames.resize(1);
    h.numTags = static_cast<uint32_t>(tags.size());
    for (const std::string& name : tags) {
        TMD3Tag tag;
        StringToName(name, tag.name);
        tag.origin = {0, 0, height};
        tag.axis[0] = AxisPosX();
        tag.axis[1] = AxisPosY();
        tag.axis[2] = AxisPosZ();
        h.Tags.push_back(tag);
    }
    TSurface s;
    StringToName("s", s.name);
    s.numFrames = 1;
    s.numShaders = 1;
    s.Shaders.resize(1);
    s.numVerts = 4;
    s.numTriangles = 4;
    s.Triangles = {{{0, 1, 2}}, {{0, 2, 3}}, {{0, 2, 1}}, {{0, 3, 2}}};
    s.TexCoords.resize(4);
    const int16_t w = int16_t(halfWidth * 64), top = int16_t(height * 64);
    const int16_t normal = TMD3::EncodeNormal(AxisPosX());
    s.Vertices = {{0, int16_t(-w), 0, normal},
                  {0, w, 0, normal},
                  {0, w, top, normal},
                  {0, int16_t(-w), top, normal}};
    h.Surfaces.push_back(s);
    h.numSurfaces = 1;
    return model;
}

// The mean row of the pixels near `colour`; -1 when there are none.
double MeanRow(const QImage& image, const TRgb& colour) {
    double rows = 0;
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Near(At(image, x, y), colour, 10)) {
                rows += y;
                ++count;
            }
    return count == 0 ? -1 : rows / count;
}

} // namespace

class RenderModeTest : public QObject {
    Q_OBJECT
private slots:
    void GeneratedModelShowsItsTextureOverTheGradient() {
        TRenderHome h;
        const TRgb paint{200, 40, 90};
        WriteSolidTga(h.Home.File("grid.tga"), paint);
        WriteBytes(h.Home.File("grid.md3"), MD3FileBytes(BuildGridMD3(11, 11, 1), false));
        const TRun run =
            h.Render({h.File("grid.png"), "--size", "200x150", "--no-sky", h.File("grid.md3")});
        QCOMPARE(run.Exit, 0);
        const QImage image(h.File("grid.png"));
        QCOMPARE(image.size(), QSize(200, 150));
        QVERIFY(!image.hasAlphaChannel());
        QVERIFY(Near(At(image, 100, 75), paint));
        QVERIFY(Near(At(image, 1, 0), GradientTop));
        QVERIFY(Near(At(image, 1, 149), GradientBottom));
        // The fit backs off until the 10-unit grid fills the 60-degree view's height.
        const double model = Share(image, [&](const TRgb& c) { return Near(c, paint); });
        QVERIFY2(model > 0.4 && model < 0.8, std::to_string(model).c_str());

        const TRun alpha =
            h.Render({h.File("cut.tga"), "--alpha", "--size", "201x151", h.File("grid.md3")});
        QCOMPARE(alpha.Exit, 0);
        const std::vector<char> bytes = ReadBytes(h.Home.File("cut.tga"));
        TRgbaImage cut; // rows bottom first
        QVERIFY(DecodeTga({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()}, cut).Ok);
        QCOMPARE(cut.Width, 201);
        QCOMPARE(cut.Height, 151);
        QCOMPARE(cut.Pixels[(75 * 201 + 100) * 4 + 3], uint8_t(255));
        QCOMPARE(cut.Pixels[(1 * 201 + 1) * 4 + 3], uint8_t(0));
    }

    void GeneratedMapIsConvertedAndDrawn() {
        TRenderHome h;
        const TRgb wall{30, 160, 70};
        WriteSolidTga(h.Home.File("wall.tga"), wall);
        WriteText(h.Home.File("room.map"), WorldMap({BoxBrush({-64, -64, -16}, {64, 64, 16})}));
        const TRun run = h.Render({h.File("room.png"), "--no-sky", h.File("room.map")});
        QCOMPARE(run.Exit, 0);
        const QImage image(h.File("room.png"));
        QCOMPARE(image.size(), QSize(512, 512));
        const double model = Share(image, [&](const TRgb& c) { return Near(c, wall); });
        QVERIFY2(model > 0.3, std::to_string(model).c_str());
        QVERIFY(Near(At(image, 0, 0), GradientTop));
    }

    void DemoModelIsTexturedFromTheDemoGame() {
        const std::string demo = QUILLON_DEMO_DIR;
        TRenderHome h;
        const TRun run = h.Render({h.File("demo.png"), "--no-sky", "--frame", "5",
                                   QString::fromStdString(demo + "/demo.md3")},
                                  demo + "/home");
        QCOMPARE(run.Exit, 0);
        const QImage image(h.File("demo.png"));
        const double background = Share(image, [](const TRgb& c) {
            return c[0] >= GradientTop[0] - 2 && c[0] <= GradientBottom[0] + 2 &&
                   c[2] >= GradientTop[2] - 2 && c[2] <= GradientBottom[2] + 2 &&
                   c[1] >= GradientTop[1] - 2 && c[1] <= GradientBottom[1] + 2;
        });
        const double grate =
            Share(image, [](const TRgb& c) { return c[0] > 150 && c[1] > 60 && c[2] < 80; });
        const double torus = Share(image, [](const TRgb& c) { return c[2] > c[0] + 60; });
        QVERIFY2(background > 0.2 && background < 0.8, std::to_string(background).c_str());
        QVERIFY2(grate > 0.01, std::to_string(grate).c_str());
        QVERIFY2(torus > 0.2, std::to_string(torus).c_str());
    }

    void PlayerStandsWithItsHeadOnItsTorsoOnItsLegs() {
        TRenderHome h;
        const std::string folder = h.Home.File("players/x");
        fs::create_directories(folder);
        const TRgb legs{220, 30, 30}, torso{30, 200, 30}, head{30, 30, 220};
        const std::pair<const char*, TRgb> parts[] = {
            {"lower", legs}, {"upper", torso}, {"head", head}};
        for (const auto& [part, colour] : parts) {
            WriteSolidTga(folder + "/" + part + ".tga", colour);
            WriteText(folder + "/" + part + "_default.skin",
                      std::string("s,models/players/x/") + part + ".tga\n");
        }
        QVERIFY(UprightPart(6, 20, {"tag_torso"}).SaveToFile(folder + "/lower.md3"));
        QVERIFY(UprightPart(10, 20, {"tag_head", "tag_weapon"}).SaveToFile(folder + "/upper.md3"));
        QVERIFY(UprightPart(4, 10, {}).SaveToFile(folder + "/head.md3"));

        const TRun run = h.Render(
            {h.File("player.png"), "--no-sky", "--player", QString::fromStdString(folder)});
        QCOMPARE(run.Exit, 0);
        const QImage image(h.File("player.png"));
        const double headRow = MeanRow(image, head), torsoRow = MeanRow(image, torso),
                     legsRow = MeanRow(image, legs);
        const std::string rows = std::to_string(headRow) + " " + std::to_string(torsoRow) + " " +
                                 std::to_string(legsRow);
        QVERIFY2(headRow >= 0 && headRow < torsoRow && torsoRow < legsRow, rows.c_str());

        QCOMPARE(h.Render({h.File("x.png"), "--player", QString::fromStdString(folder), "--legs",
                           "LEGS_FLY"})
                     .Exit,
                 1);
        QCOMPARE(h.Render({h.File("x.png"), "--player", QString::fromStdString(folder),
                           h.File("other.md3")})
                     .Exit,
                 2);
        QVERIFY(!fs::exists(h.Home.File("x.png")));
    }

    void FailuresSayWhyAndWriteNothing() {
        TRenderHome h;
        WriteBytes(h.Home.File("grid.md3"), MD3FileBytes(BuildGridMD3(3, 3, 1), false));
        WriteText(h.Home.File("broken.md3"), "IDP3");

        TRun run = h.Render({h.File("out.png"), h.File("missing.md3")});
        QCOMPARE(run.Exit, 1);
        QVERIFY2(run.Errors.find("missing.md3") != std::string::npos, run.Errors.c_str());
        run = h.Render({h.File("out.png"), h.File("broken.md3")});
        QCOMPARE(run.Exit, 1);
        QVERIFY2(run.Errors.find("broken.md3: ") != std::string::npos, run.Errors.c_str());
        run = h.Render({h.File("out.png"), "--frame", "1", h.File("grid.md3")});
        QCOMPARE(run.Exit, 1);
        QVERIFY(!fs::exists(h.Home.File("out.png")));

        run = h.Render({h.File("no/such/folder/out.png"), h.File("grid.md3")});
        QCOMPARE(run.Exit, 3);
        QVERIFY2(run.Errors.find("no/such/folder/out.png") != std::string::npos,
                 run.Errors.c_str());

        for (const QStringList& arguments :
             {QStringList{}, QStringList{h.File("out.png")}, QStringList{h.File("out.bmp"), "x"},
              QStringList{h.File("out.png"), "--size", "0x10", "x"},
              QStringList{h.File("out.png"), "--size", "9000x10", "x"},
              QStringList{h.File("out.png"), "--frame", "-1", "x"},
              QStringList{h.File("out.png"), "--wobble", "x"}}) {
            run = h.Render(arguments);
            QCOMPARE(run.Exit, 2);
            QVERIFY2(run.Errors.find("usage: quillon --render") != std::string::npos,
                     run.Errors.c_str());
        }
        QVERIFY(!fs::exists(h.Home.File("out.png")));
    }
};

QTEST_MAIN(RenderModeTest)
#include "RenderModeTest.moc"
