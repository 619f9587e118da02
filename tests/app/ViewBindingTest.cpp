// The window with its 3D view as the program builds it (needs a display with GL: run under
// xvfb-run): the fit of a model opened while the panel has no context yet, and the view state
// the wheel changes being the window's own.
#include "app/ViewBinding.h"
#include "WindowFixture.h"
#include "render/GLView.h"
#include "render/OGL.h"
#include "render/ViewNavigation.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>

#include <algorithm>

using namespace quillon;
using namespace quillon::test;

namespace {
// The window, its context object and the binding between them, torn down in the program's order.
class TShownWindow {
public:
    TShownWindow() : Binding(Context, *Window.Form) {}
    ~TShownWindow() { Context.DestroyContext(); }

    // Opens a model before the window is shown, so the fit is asked for while the panel has no
    // context (as on a platform that creates it only when the window is exposed), then shows the
    // window. False when the panel got no context (no GL on this display).
    bool OpenBeforeThePanelIsShown() {
        MD3Shape shape;
        shape.frames = 2;
        Window.Form->OpenFromCommandLine({Window.WriteModel("m.md3", BuildMD3(shape))});
        if (Context.IsActive())
            return false;
        Window.Form->show();
        for (int i = 0; i < 200 && !IsViewSized(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return IsViewSized();
    }
    TView3DState& View() { return Window.Inside().State.View; }

    TOGL Context;
    TWindowFixture Window;
    TViewBinding Binding;

private:
    bool IsViewSized() { return Context.IsActive() && Context.ViewportWidth > 0; }
};

void ExpectFittedTo(TShownWindow& shown, const TMD3& model) {
    const auto bounds = TViewNavigation::MD3Bounds(model);
    QVERIFY(bounds);
    const TVector extent = VectorSub(bounds->Max, bounds->Min);
    const float size = std::max({extent.x, extent.y, extent.z});
    const int distance = TViewNavigation::FitDistance(size);
    const TView3DState& view = shown.View();
    QCOMPARE(view.CameraDistance, distance);
    QCOMPARE(view.ModelRotation, TVector{});
    QCOMPARE(view.PivotOffset, VectorNegate(VectorAdd(bounds->Min, VectorScale(extent, 0.5f))));
    // The camera of the context that draws looks straight at the model's centre.
    QCOMPARE(shown.Context.Camera.Position, (TVector{0, 0, float(distance)}));
    QCOMPARE(shown.Context.Camera.Target, TVector{});
}
} // namespace

class ViewBindingTest : public QObject {
    Q_OBJECT
private slots:
    void ModelOpenedBeforeThePanelHasItsContextIsFittedOnceItIsSized() {
        TShownWindow shown;
        if (!shown.OpenBeforeThePanelIsShown())
            QSKIP("no GL context for the panel on this display");
        ExpectFittedTo(shown, shown.Window.Instances.MD3);
    }

    void WheelMovesTheWindowsOwnCamera() {
        TShownWindow shown;
        if (!shown.OpenBeforeThePanelIsShown())
            QSKIP("no GL context for the panel on this display");
        shown.Window.Trigger("actionHelp"); // back from Help to the View tab
        const int fitted = shown.View().CameraDistance;
        auto* panel = shown.Window.Form->findChild<TGLView*>();
        QWheelEvent towardsUser(QPointF(10, 10), panel->mapToGlobal(QPointF(10, 10)), QPoint(),
                                QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                                false);
        QApplication::sendEvent(panel, &towardsUser);
        QCOMPARE(shown.View().CameraDistance, fitted + TViewNavigation::WheelStep);
        QCOMPARE(shown.Context.Camera.Position.z, float(fitted + TViewNavigation::WheelStep));
    }
};

QTEST_MAIN(ViewBindingTest)
#include "ViewBindingTest.moc"
