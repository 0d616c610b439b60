#include "ModuleWindows.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <memory>

#include "AssetWindow.h"
#include "DetailReport.h"
#include "FunctionKeys.h"
#include "InquiryWindow.h"
#include "SummaryReport.h"
#include "WindowHelpers.h"
#include "WindowRegistry.h"
#include "ZqMDI.h"

namespace {
template <class Window, class Create>
WindowRegistry::Opener openerOf(ZqMDI& mdi, Create create) {
    auto window = std::make_shared<QPointer<Window>>();
    return [&mdi, window, create] {
        // A window whose frame has closed is on its way out, even before it is deleted.
        const QWidget* frame = *window ? (*window)->parentWidget() : nullptr;
        if (*window && !(frame && frame->isHidden())) {
            mdi.showChild(*window, 0, 0);
            return;
        }
        *window = create();
        CenterChild(mdi.showChild(*window, 0, 0));
    };
}
}  // namespace

void RegisterModuleWindows(ZqMDI& mdi) {
    WindowRegistry::setKeyHandler(&HandleFunctionKey);
    WindowRegistry::setOpener(QStringLiteral("printer"), [&mdi] { mdi.showPrinterWindow(); });
    WindowRegistry::setOpener(QStringLiteral("assets"), openerOf<AssetWindow>(mdi, [] {
                                  auto* w = new AssetWindow;
                                  w->open();
                                  return w;
                              }));
    WindowRegistry::setOpener(QStringLiteral("summary"),
                              openerOf<SummaryReport>(mdi, [] { return new SummaryReport; }));
    WindowRegistry::setOpener(QStringLiteral("detail"),
                              openerOf<DetailReport>(mdi, [] { return new DetailReport; }));
    WindowRegistry::setOpener(QStringLiteral("inquiry"), openerOf<InquiryWindow>(mdi, [] {
                                  auto* w = new InquiryWindow;
                                  w->open();
                                  return w;
                              }));
}
