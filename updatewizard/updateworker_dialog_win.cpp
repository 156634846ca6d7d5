// The update worker behind the wizard dialog's hand-back.
#include "updatewizard/updateworker_dialog_win.h"

#include "updatewizard/updateworker_win.h"

namespace {

// The dialog's hand-back as the worker's result sink; the hand-back drops
// both calls once the dialog has ended.
class DialogResultSink : public IZKUpdateResultSink {
 public:
  explicit DialogResultSink(CZKUpdateHandBack& hand_back) : m_hand_back(hand_back) {}
  void SetResultCode(int code) override { m_hand_back.SetResultCode(code); }
  void PostUpdateDone(int success) override { m_hand_back.PostUpdateDone(success ? TRUE : FALSE); }

 private:
  CZKUpdateHandBack& m_hand_back;
};

}  // namespace

void RunUpdateWorker(CZKUpdateHandBack& hand_back) {
  DialogResultSink sink(hand_back);
  CZKUpdateWorker worker(UpdateWorkerSettings());
  worker.RunUpdate(&sink);
}
