// The settings file, number formatting, the playback arithmetic and the archive-in-use test:
// the parts of the window that need no widgets.
#include "app/Settings.h"
#include "app/ArchiveLock.h"
#include "app/FormatNumbers.h"
#include "app/IniDocument.h"
#include "app/PlaybackRules.h"
#include "support/MD3Builder.h"

#include <QTest>

#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace quillon;
using quillon::test::TempDir;

namespace {
void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}
} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void MissingFileGivesDefaults() {
        TempDir dir;
        const TSettings s = TSettings::Read(dir.File("absent.ini"));
        QCOMPARE(s.GameDir, std::string());
        QCOMPARE(s.Gamma, 1.0f);
        QVERIFY(s.ShowTags && s.ShowSkeleton && s.AlphaTexturePreview && s.Lighting &&
                s.CenterModel && s.SkyBoxEnabled && s.Cleanup);
        QCOMPARE(s.ColorTop, 13339492u);
        QCOMPARE(s.ColorBottom, 15780518u);
        QVERIFY(s.ShaderList.empty());
    }

    void ValuesAreReadAndBadValuesFallBack() {
        TempDir dir;
        WriteText(dir.File("q.ini"), "[Game]\nGameDir=" + dir.Path +
                                         "\n[Texturing]\nGamma=1.7\n[View]\nShowTags=0\n"
                                         "Lighting=2\nCenterModel=yes\n[SkyBox]\nEnabled=0\n"
                                         "ColorTop=255\nColorBottom=x\n[Settings]\nCleanup=0\n");
        const TSettings s = TSettings::Read(dir.File("q.ini"));
        QCOMPARE(s.GameDir, dir.Path);
        QCOMPARE(s.Gamma, 1.7f);
        QVERIFY(!s.ShowTags);
        QVERIFY(s.Lighting);    // any non-zero integer is true
        QVERIFY(s.CenterModel); // not an integer: the default
        QVERIFY(!s.SkyBoxEnabled);
        QCOMPARE(s.ColorTop, 255u);
        QCOMPARE(s.ColorBottom, 15780518u);
        QVERIFY(s.Cleanup); // stored, never read
    }

    void VanishedGameFolderIsDropped() {
        TempDir dir;
        WriteText(dir.File("q.ini"), "[Game]\nGameDir=" + dir.File("gone") + "\n");
        QCOMPARE(TSettings::Read(dir.File("q.ini")).GameDir, std::string());
    }

    void ShaderListGapIsRenumberedOnWrite() {
        TempDir dir;
        const std::string path = dir.File("q.ini");
        WriteText(path, "[ShaderList]\nfirst=a.shader\nShaderList1=\nzeta=c.shader\n"
                        "[Other]\nKeep=me\n");
        TSettings s = TSettings::Read(path);
        QCOMPARE(s.ShaderList, (std::vector<std::string>{"a.shader", "c.shader"}));
        QVERIFY(s.Write(path));
        const TIniDocument ini = TIniDocument::Load(path);
        const auto entries = ini.Entries("ShaderList");
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[0], (TIniDocument::TEntry{"ShaderList0", "a.shader"}));
        QCOMPARE(entries[1], (TIniDocument::TEntry{"ShaderList1", "c.shader"}));
        QCOMPARE(ini.Value("Other", "Keep").value_or(""), std::string("me"));
    }

    void WriteUsesOneZeroAndShortestFloats() {
        TempDir dir;
        const std::string path = dir.File("q.ini");
        TSettings s;
        s.Gamma = 2.5f;
        s.ShowSkeleton = false;
        s.Cleanup = false;
        QVERIFY(s.Write(path));
        const std::string text = ReadText(path);
        QVERIFY(text.find("Gamma=2.5\n") != std::string::npos);
        QVERIFY(text.find("ShowSkeleton=0\n") != std::string::npos);
        QVERIFY(text.find("ShowTags=1\n") != std::string::npos);
        QVERIFY(text.find("Cleanup=0\n") != std::string::npos);
        QVERIFY(text.find("ColorTop=13339492\n") != std::string::npos);
        const TSettings back = TSettings::Read(path);
        QCOMPARE(back.Gamma, 2.5f);
        QVERIFY(!back.ShowSkeleton);
    }

    void SectionAndKeyNamesIgnoreCase() {
        TempDir dir;
        WriteText(dir.File("q.ini"), "[texturing]\ngamma=3\n");
        QCOMPARE(TSettings::Read(dir.File("q.ini")).Gamma, 3.0f);
    }

    void NumbersUseThePointWholeTextOnly() {
        QCOMPARE(FormatFloat(1.0f), std::string("1"));
        QCOMPARE(FormatFloat(0.1f), std::string("0.1"));
        QCOMPARE(ParseFloat(" 0.15 ").value_or(-1), 0.15f);
        QCOMPARE(ParseFloat("+2").value_or(-1), 2.0f);
        QCOMPARE(ParseFloat("-1.5").value_or(0), -1.5f);
        QVERIFY(!ParseFloat("0,15"));
        QVERIFY(!ParseFloat("1.5x"));
        QVERIFY(!ParseFloat(""));
        QVERIFY(!ParseFloat("inf"));
        QVERIFY(!ParseFloat("nan"));
        QCOMPARE(ParseInt("7").value_or(-1), 7);
        QVERIFY(!ParseInt("7.0"));
        QVERIFY(!ParseInt("99999999999"));
    }

    void TypedNumbersAreDecimalLiterals() {
        for (const char* text : {"2e0", "+2", " \t2\r\n", "2.", ".2e1", "+20E-1", "0002.000"})
            QVERIFY2(ParseFloat(text) == 2.0f, text);
        QCOMPARE(ParseFloat("-.5").value_or(0), -0.5f);
        // Below a float's range a literal is zero; above it there is no float to give.
        QCOMPARE(ParseFloat("1e-50").value_or(-1), 0.0f);
        QVERIFY(std::signbit(ParseFloat("-1e-50").value_or(1)));
        QCOMPARE(ParseFloat("3.4028235e38").value_or(0), 3.4028235e38f);
        QVERIFY(!ParseFloat("1e39"));
        for (const char* text : {"0x2", "0x1p1", "2f", "+-2", "--2", "+", ".", "e2", "2e", "2e+",
                                 ".e1", "2 0", "2..", "infinity", "1,5e1",
                                 "\xe2\x88\x92"
                                 "2"})
            QVERIFY2(!ParseFloat(text), text);
        QCOMPARE(ParseInt(" +12\n").value_or(-1), 12);
        QCOMPARE(ParseInt("-0").value_or(-1), 0);
        for (const char* text : {"1e1", "0x1", "+-1", "1 2", "-"})
            QVERIFY2(!ParseInt(text), text);
    }

    void RateTableRoundsHalvesToEven() {
        QCOMPARE(TimerIntervalForRate(20), 50);
        QCOMPARE(TimerIntervalForRate(16), 62);
        QCOMPARE(TimerIntervalForRate(125), 8);
        QCOMPARE(TimerIntervalForRate(3), 333);
        QCOMPARE(TimerIntervalForRate(1), 1000);
        QCOMPARE(TimerIntervalForRate(80), 12); // 12.5
        QCOMPARE(TimerIntervalForRate(48), 21); // 20.83
    }

    void TickAdvancesWrapsOrStays() {
        QCOMPARE(NextPlaybackFrame(2, 0, 4, true), 3);
        QCOMPARE(NextPlaybackFrame(4, 0, 4, true), 0);
        QCOMPARE(NextPlaybackFrame(4, 1, 4, false), 4);
        // A frame before the start advances up to the end before it wraps.
        QCOMPARE(NextPlaybackFrame(0, 3, 4, true), 1);
        QCOMPARE(NextPlaybackFrame(0, 0, 0, true), 0);
    }

    void ReadOnlyArchiveIsNotInUse() {
        TempDir dir;
        const std::string path = dir.File("pak0.pk3");
        WriteText(path, "PK");
        chmod(path.c_str(), 0444);
        QVERIFY(!IsHeldByAnotherProcess(path));
        QVERIFY(!IsHeldByAnotherProcess(dir.File("missing.pk3")));
    }

    void ArchiveLockedByAnotherProcessIsInUse() {
        TempDir dir;
        const std::string path = dir.File("pak0.pk3");
        WriteText(path, "PK");
        for (const bool recordLock : {true, false}) {
            int ready[2];
            QVERIFY(pipe(ready) == 0);
            const pid_t child = fork();
            if (child == 0) {
                const int fd = open(path.c_str(), O_RDWR);
                struct flock lock = {};
                lock.l_type = F_WRLCK;
                lock.l_whence = SEEK_SET;
                const bool locked =
                    recordLock ? fcntl(fd, F_SETLK, &lock) == 0 : flock(fd, LOCK_EX) == 0;
                const char byte = locked ? 1 : 0;
                (void)!write(ready[1], &byte, 1);
                pause();
                _exit(0);
            }
            char byte = 0;
            QVERIFY(read(ready[0], &byte, 1) == 1);
            QCOMPARE(byte, char(1));
            QVERIFY(IsHeldByAnotherProcess(path));
            kill(child, SIGKILL);
            waitpid(child, nullptr, 0);
            close(ready[0]);
            close(ready[1]);
            QVERIFY(!IsHeldByAnotherProcess(path));
        }
    }
};

QTEST_APPLESS_MAIN(SettingsTest)
#include "SettingsTest.moc"
