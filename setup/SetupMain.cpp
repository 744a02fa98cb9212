#include "setup/SetupMain.h"

#include "platform/base/Sjis.h"
#include "platform/core/Application.h"
#include "platform/sys/EndSignals.h"
#include "platform/sys/NamedMutex.h"
#include "platform/sys/Process.h"
#include "platform/sys/Services.h"
#include "setup/SetupForm.h"
#include "setup/SetupHelpers.h"

namespace vdmq::setup {

int SetupMain(const TBackendFactory& bindBackend) {
  EMutexCreate created = EMutexCreate::Failed;
  // Held until the program ends.
  const std::unique_ptr<TMutexHandle> instance = Sys().mutexes->Create("VDM_Q SETUP", &created);
  if (created != EMutexCreate::Created) return -1;
  if (Sys().mutexes->Open("VDM_Q GAME")) return -1;  // the game runs; the handle closes at once
  Names();
  // SIGTERM, SIGINT and SIGHUP close the dialog (and any message box over it) and end the program.
  const TEndSignals endSignals([] { App().Wake(); });

  const std::shared_ptr<void> backend = bindBackend();
  if (!backend) return 1;
  Sys().process->MakeProgramFolderCurrent();
  App().Title = SJS("ｳﾞｪﾙﾄﾞﾏﾙｸ Q 体験版ｾｯﾄｱｯﾌﾟ");
  struct TFormPointer {
    ~TFormPointer() { fmMain = nullptr; }  // the loop frees the form
  } clear;
  App().CreateForm(fmMain);
  App().Run();
  return 0;
}

}  // namespace vdmq::setup
