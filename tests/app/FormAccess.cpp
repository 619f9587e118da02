#include "FormAccess.h"

namespace quillon::test {

TFormAccess::TFormAccess(TForm1& form)
    : State(form.State), Resolver(form.Resolver), OpenDialog(form.OpenDialog), Menu(form.Menu),
      SettingsBar(form.SettingsBar), gbModel(form.gbModel), pcTabs(form.pcTabs),
      tabGeneral(form.tabGeneral), tabAnimation(form.tabAnimation), tabTags(form.tabTags),
      tabSurfaces(form.tabSurfaces), tabBones(form.tabBones), tabView(form.tabView),
      Playback(form.Playback) {}

} // namespace quillon::test
