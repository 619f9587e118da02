// The Edit-menu and Tags-tab commands through the window (conditions, prompts, status texts and
// which of them mark the model changed), and the playback controls of the View tab.
#include "WindowFixture.h"
#include "app/ClickableLabel.h"
#include "app/FrameSlider.h"
#include "app/MainMenu.h"
#include "app/PlaybackControls.h"
#include "app/SurfacesTab.h"
#include "app/TagsTab.h"
#include "app/ViewTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

using namespace quillon;
using namespace quillon::test;

namespace {
MD3Shape Frames(int frames, int tags = 1) {
    MD3Shape shape;
    shape.frames = frames;
    shape.tags = tags;
    return shape;
}

QString Caption(const TWindowFixture& w) {
    return w.Inside().gbModel->title();
}
} // namespace

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void FlipsReportOnlyForZAndNormalsAndNeverMark() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        const int16_t x = w.Instances.MD3.Header.Surfaces[0].Vertices[1].x;
        w.Trigger("actionModelMD3FlipX");
        QCOMPARE(w.Instances.MD3.Header.Surfaces[0].Vertices[1].x, int16_t(-x));
        w.Trigger("actionModelMD3FlipY");
        QCOMPARE(w.Form->StatusText(), QString());
        w.Trigger("actionModelMD3FlipZ");
        QCOMPARE(w.Form->StatusText(), QString("Z-coordinates are flipped.."));
        w.Trigger("actionModelMD3FlipNormals");
        QCOMPARE(w.Form->StatusText(), QString("Normals are flipped.."));
        QCOMPARE(Caption(w), QString("m.md3"));
    }

    void FixCracksAsksAndRefusesBadInput() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Dialogs.Inputs = {std::nullopt, std::string("0,2"), std::string("-0.15")};
        for (int i = 0; i < 2; ++i) {
            w.Trigger("actionModelMD3FixCracksGaps");
            QCOMPARE(w.Form->StatusText(), QString());
        }
        w.Trigger("actionModelMD3FixCracksGaps");
        QCOMPARE(w.Form->StatusText(), QString("Surface vertices \"welded\".."));
        QCOMPARE(w.Dialogs.InputTitles.back(), std::string("Enter max. distance"));
        QCOMPARE(w.Dialogs.InputPrompts.back(),
                 std::string("The maximal distance over which vertices will be weld together"));
        QCOMPARE(w.Dialogs.InputInitials.back(), std::string("0.15"));
        w.Trigger("actionModelMD3SmoothSurface");
        QCOMPARE(w.Form->StatusText(), QString("Surface smoothed.."));
        QCOMPARE(Caption(w), QString("m.md3"));
    }

    void ScaleIgnoresOneAndReportsTheTypedFactor() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        const float radius = w.Instances.MD3.Header.Frames[0].radius;
        w.Dialogs.Inputs = {std::string("1.0"), std::string("two"), std::string("2.00")};
        w.Trigger("actionModelMD3Scale");
        w.Trigger("actionModelMD3Scale");
        QCOMPARE(w.Instances.MD3.Header.Frames[0].radius, radius);
        QCOMPARE(w.Form->StatusText(), QString());
        w.Trigger("actionModelMD3Scale");
        QCOMPARE(w.Form->StatusText(), QString("Model scaled by factor 2.00"));
        QCOMPARE(w.Instances.MD3.Header.Frames[0].radius, 2 * radius);
        QCOMPARE(w.Dialogs.InputTitles[0], std::string("Enter the scaling factor"));
        QCOMPARE(w.Dialogs.InputPrompts[0], std::string("Scaling Factor"));
        QCOMPARE(w.Dialogs.InputInitials[0], std::string());
    }

    void PromptsTakeDecimalLiteralsAndRefuseTheRest() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        const float radius = w.Instances.MD3.Header.Frames[0].radius;
        w.Dialogs.Inputs = {std::string("0x2"), std::string("2e"), std::string(" +20E-1\n")};
        w.Trigger("actionModelMD3Scale");
        w.Trigger("actionModelMD3Scale");
        QCOMPARE(w.Instances.MD3.Header.Frames[0].radius, radius);
        QCOMPARE(w.Form->StatusText(), QString());
        w.Trigger("actionModelMD3Scale");
        QCOMPARE(w.Instances.MD3.Header.Frames[0].radius, 2 * radius);

        w.LoadThroughCommand(w.WriteModel("still.md3", BuildMD3(Frames(1, 0))));
        TTagsTab& tags = *w.Inside().tabTags;
        tags.leTagOriginX->setText(" +1.5e1 ");
        tags.leTagOriginY->setText("-.5");
        tags.leTagOriginZ->setText("0x1");
        tags.bTagAddManually->click();
        QCOMPARE(w.Form->StatusText(), QString("Error converting user-input data"));
        QCOMPARE(w.Instances.MD3.Header.numTags, 0u);
        tags.leTagOriginZ->setText("1e-50");
        tags.bTagAddManually->click();
        QCOMPARE(w.Form->StatusText(), QString("New tag added"));
        QCOMPARE(w.Instances.MD3.Header.Tags[0].origin, (TVector{15, -0.5f, 0}));
    }

    void TagAsOriginNamesTheChosenTag() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(2, 2))));
        w.Inside().tabView->cbTagPivots->setCurrentIndex(1);
        w.Trigger("actionModelMD3TagAsOrigin");
        QCOMPARE(w.Form->StatusText(),
                 QString("The position of the tag[\"tag_1\"] is now the new origin.."));
        QCOMPARE(w.Instances.MD3.Header.Tags[1].origin, TVector{});
        QCOMPARE(w.Instances.MD3.Header.Tags[3].origin, TVector{});
        QCOMPARE(w.Inside().tabView->cbTagPivots->currentText(), QString("origin"));
    }

    void TagAxisCommandsChangeOnlyTheTags() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3({})));
        w.Form->SetStatus("kept");
        w.Trigger("menuModelTagsInvertY");
        QCOMPARE(w.Instances.MD3.Header.Tags[0].axis[1], (TVector{0, -1, 0}));
        w.Trigger("menuModelTagsSwapXZ");
        QCOMPARE(w.Instances.MD3.Header.Tags[0].axis[0], (TVector{0, 0, 1}));
        QCOMPARE(w.Form->StatusText(), QString("kept"));
        QCOMPARE(Caption(w), QString("m.md3"));
    }

    void TagsAreAddedByHandOnlyToOneFrameModels() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("anim.md3", BuildMD3(Frames(2))));
        TTagsTab& tags = *w.Inside().tabTags;
        tags.leTagOriginX->setText("1");
        tags.bTagAddManually->click();
        QCOMPARE(w.Form->StatusText(),
                 QString("Invalid action: It is not possible to add tags for animated MD3 models"));
        QCOMPARE(w.Instances.MD3.Header.numTags, 1u);

        w.LoadThroughCommand(w.WriteModel("still.md3", BuildMD3(Frames(1, 0))));
        tags.leTagName->setText("tag_x");
        tags.leTagOriginX->setText("1");
        tags.leTagOriginY->setText("two");
        tags.leTagOriginZ->setText("3");
        tags.bTagAddManually->click();
        QCOMPARE(w.Form->StatusText(), QString("Error converting user-input data"));
        tags.leTagOriginY->setText("2.5");
        tags.bTagAddManually->click();
        QCOMPARE(w.Form->StatusText(), QString("New tag added"));
        QCOMPARE(w.Instances.MD3.Header.numTags, 1u);
        QCOMPARE(w.Instances.MD3.Header.Tags[0].origin, (TVector{1, 2.5f, 3}));
        QCOMPARE(tags.leTagName->text(), QString());
        QCOMPARE(tags.cbTagNames->itemText(0), QString("tag_x"));
        tags.leTagName->setText("tag_y");
        tags.leTagOriginX->setText("0");
        tags.leTagOriginY->setText("0");
        tags.leTagOriginZ->setText("0");
        tags.bTagAddManually->click();
        QCOMPARE(Caption(w), QString("still.md3**"));
    }

    void FramesAreAppendedFromOtherFilesAndMark() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(2))));
        const std::string other = w.WriteModel("other.md3", BuildMD3(Frames(3)));
        w.Inside().OpenDialog.FileName = "remembered.md3";
        w.Dialogs.Files.push_back({other});
        w.Trigger("actionFileAddframes");
        QCOMPARE(w.Form->StatusText(),
                 QString("All frames (of other.md3) were added to the current model"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, 5u);
        QCOMPARE(w.Inside().Playback->tbEndFrame->maximum(), 4);
        QCOMPARE(w.Inside().OpenDialog.FileName, std::string("remembered.md3"));
        QCOMPARE(Caption(w), QString("m.md3*"));

        w.Dialogs.Files.push_back({other});
        w.Trigger("actionFileAddframe");
        QCOMPARE(w.Form->StatusText(),
                 QString("Frame[0] (of other.md3) was added to the current model"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, 6u);

        w.Dialogs.Files.push_back({other, other});
        w.Trigger("actionFileAddframesequence");
        QCOMPARE(w.Form->StatusText(),
                 QString("Frame[0] (of 2 files) were added to the current model"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, 8u);
        QCOMPARE(Caption(w), QString("m.md3***"));
    }

    void FailedFrameAppendShowsTheReasonAndKeepsTheModel() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(2, 1))));
        w.Dialogs.Files.push_back({w.WriteModel("notags.md3", BuildMD3(Frames(2, 0)))});
        w.Trigger("actionFileAddframe");
        QCOMPARE(w.Form->StatusText(), QString("Number of tags not equal: notags.md3"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, 2u);
        QCOMPARE(Caption(w), QString("m.md3"));
    }

    void DeletingTheCurrentFrameNeedsYes() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(3))));
        TPlaybackControls& playback = *w.Inside().Playback;
        playback.cbPlay->setChecked(false);
        playback.tbCurrentFrame->setValue(1);
        w.Dialogs.Answers = {TAnswer::No, TAnswer::Yes};
        w.Trigger("actionModelDeleteframe");
        QCOMPARE(w.Instances.MD3.Header.numFrames, 3u);
        QCOMPARE(w.Dialogs.Questions[0],
                 std::string("Confirmation|Are You sure You want to remove the current frame?.. "
                             "Frame[1] ?"));
        w.Trigger("actionModelDeleteframe");
        QCOMPARE(w.Form->StatusText(), QString("Frame[1] has been removed"));
        QCOMPARE(w.Instances.MD3.Header.numFrames, 2u);
        QCOMPARE(w.Inside().State.CurrentFrame, 0);
        QCOMPARE(Caption(w), QString("m.md3*"));
    }

    void OneFrameModelDisablesTheAnimationGroup() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(1))));
        TPlaybackControls& playback = *w.Inside().Playback;
        QVERIFY(!playback.isEnabled());
        QCOMPARE(playback.tbEndFrame->maximum(), 0);
        w.Trigger("actionModelDeleteframe");
        QVERIFY(w.Dialogs.Questions.empty());
    }

    void TicksPlayLoopAndStop() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(5))));
        TPlaybackControls& playback = *w.Inside().Playback;
        playback.TimerFPS->stop();
        QVERIFY(playback.isEnabled());
        QCOMPARE(playback.lEndFrame->text(), QString("4"));
        playback.tbStartFrame->setValue(2);
        QCOMPARE(playback.tbCurrentFrame->SelectionStart(), 2);
        // The current frame lies before the start: it runs up to the end, then wraps.
        for (int expected : {1, 2, 3, 4, 2}) {
            playback.Tick();
            QCOMPARE(w.Inside().State.CurrentFrame, expected);
        }
        QCOMPARE(playback.tbCurrentFrame->value(), 2);
        QCOMPARE(playback.lCurrentFrame->text(), QString("2"));
        playback.cbLoop->setChecked(false);
        for (int expected : {3, 4, 4}) {
            playback.Tick();
            QCOMPARE(w.Inside().State.CurrentFrame, expected);
        }
        int redraws = 0;
        connect(&playback, &TPlaybackControls::redrawRequested, [&] { ++redraws; });
        playback.cbPlay->setChecked(false);
        playback.Tick();
        QCOMPARE(w.Inside().State.CurrentFrame, 4);
        QCOMPARE(redraws, 1);
        playback.tbCurrentFrame->setValue(1);
        QCOMPARE(w.Inside().State.CurrentFrame, 1);
    }

    void CurrentSliderIsIgnoredWhilePlaying() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(5))));
        TPlaybackControls& playback = *w.Inside().Playback;
        playback.tbCurrentFrame->setValue(3);
        QCOMPARE(w.Inside().State.CurrentFrame, 0);
    }

    void FramePromptsAcceptOnlyFramesInRange() {
        TWindowFixture w;
        w.LoadThroughCommand(w.WriteModel("m.md3", BuildMD3(Frames(5))));
        TPlaybackControls& playback = *w.Inside().Playback;
        w.Dialogs.Inputs = {std::string("7"), std::string("x"), std::nullopt, std::string("3")};
        for (int i = 0; i < 4; ++i)
            emit playback.lEndFrame->doubleClicked();
        QCOMPARE(w.Dialogs.InputTitles[0], std::string("End Frame"));
        QCOMPARE(w.Dialogs.InputPrompts[0], std::string("Enter the Frame #"));
        QCOMPARE(playback.tbEndFrame->value(), 3);
        QCOMPARE(playback.lEndFrame->text(), QString("3"));
        w.Dialogs.Inputs = {std::string("-1"), std::string("2")};
        emit playback.lCurrentFrame->doubleClicked();
        emit playback.lCurrentFrame->doubleClicked();
        QCOMPARE(w.Dialogs.InputTitles.back(), std::string("Current Frame"));
        QCOMPARE(w.Inside().State.CurrentFrame, 2);
        QCOMPARE(playback.tbCurrentFrame->value(), 2);
    }

    void RateFieldSetsTheTimerAndRefusesZero() {
        TWindowFixture w;
        TPlaybackControls& playback = *w.Inside().Playback;
        QCOMPARE(playback.TimerInterval(), 50);
        QCOMPARE(playback.eFPS->text(), QString("20"));
        playback.eFPS->setValue(16);
        QCOMPARE(playback.TimerInterval(), 62);
        playback.eFPS->setValue(0);
        QCOMPARE(playback.TimerInterval(), 62);
        QCOMPARE(w.Dialogs.Errors.size(), size_t(1));
        QCOMPARE(playback.eFPS->maximum(), 125);
    }

    void ChoosingAnAnimationSelectsItsRange() {
        TWindowFixture w;
        TPlaybackControls& playback = *w.Inside().Playback;
        playback.Reset(40);
        playback.SetAnimations({{"walk", 10, 5, 15}, {"run", 20, 8, 25}});
        playback.cbAnimName->setCurrentIndex(0);
        // Only a skeletal model plays its script's animations.
        for (TModelKind kind : {TModelKind::None, TModelKind::MD3, TModelKind::MDS}) {
            w.Inside().State.ModelKind = kind;
            emit playback.cbAnimName->activated(0);
            QCOMPARE(playback.StartFrame(), 0);
            QCOMPARE(playback.EndFrame(), 39);
        }
        w.Inside().State.ModelKind = TModelKind::Skeletal;
        emit playback.cbAnimName->activated(0);
        QCOMPARE(playback.StartFrame(), 10);
        QCOMPARE(playback.EndFrame(), 14);
        QCOMPARE(playback.eFPS->value(), 15);
        QCOMPARE(w.Inside().State.CurrentFrame, 10);
        QCOMPARE(playback.cbAnimName->currentIndex(), 0);
        playback.tbStartFrame->setValue(11);
        QCOMPARE(playback.cbAnimName->currentIndex(), -1);
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
