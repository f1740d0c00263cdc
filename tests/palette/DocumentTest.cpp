#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "palette/QurixDoc.h"
#include "palette/QurixView.h"
#include "palette/Texts.h"
#include "render/DisplaySettings.h"

namespace qurix {
namespace {

// Records what the document asks of it in one shared log.
class CProbeView : public CQurixView {
public:
    CProbeView(CQurixDoc& doc, std::string name, std::vector<std::string>& log)
        : CQurixView(doc), name_(std::move(name)), log_(log) {}

    void OnInitialUpdate() override {
        log_.push_back(name_ + ":init");
        CQurixView::OnInitialUpdate();
    }
    void OnUpdate(CQurixView* sender) override {
        const bool pending = GetDocument().TakePending(this);
        log_.push_back(name_ + ":update" + (pending ? "+pending" : "") +
                       (sender ? "<" + static_cast<CProbeView*>(sender)->name_ : ""));
        if (onUpdate) onUpdate();
    }
    void DeleteAllItems() override { log_.push_back(name_ + ":clear"); }

    std::function<void()> onUpdate;

private:
    std::string name_;
    std::vector<std::string>& log_;
};

class DocumentTest : public ::testing::Test {
protected:
    CDisplaySettings settings;
    // No file: every setting is a default and no library loads.
    CQurixDoc doc{settings, CProfile(), std::string()};
    std::vector<std::string> log;
};

TEST_F(DocumentTest, ViewsHearOfChangesInCreationOrderExceptTheSender) {
    CProbeView parts(doc, "parts", log), plib(doc, "plib", log), preview(doc, "preview", log),
        info(doc, "info", log);
    ASSERT_TRUE(doc.OnNewDocument());
    EXPECT_TRUE(settings.IsLoaded());
    doc.SendInitialUpdate();
    EXPECT_EQ(log,
              (std::vector<std::string>{
                  "parts:init", "parts:update+pending", "plib:init", "plib:update+pending",
                  "preview:init", "preview:update+pending", "info:init", "info:update+pending"}));
    log.clear();
    doc.UpdateAllViews(&plib);
    EXPECT_EQ(log, (std::vector<std::string>{"parts:update<plib", "preview:update<plib",
                                             "info:update<plib"}));
}

TEST_F(DocumentTest, ReloadClearsListsAndSelectionThenUpdatesEveryView) {
    CProbeView a(doc, "a", log), b(doc, "b", log);
    doc.OnNewDocument();
    doc.SendInitialUpdate();
    log.clear();
    // Stand-ins for a selection; Reload must drop them before the libraries go.
    int dummy = 0;
    doc.SetCurrentLibrary(reinterpret_cast<const CPartLibrary*>(&dummy));
    doc.SetCurrentEntry(reinterpret_cast<const CLibEntry*>(&dummy));
    a.onUpdate = [&] {
        EXPECT_EQ(doc.CurrentLibrary(), nullptr);
        EXPECT_EQ(doc.CurrentEntry(), nullptr);
    };
    EXPECT_TRUE(doc.Reload());
    EXPECT_EQ(log, (std::vector<std::string>{"a:clear", "b:clear", "a:update+pending",
                                             "b:update+pending"}));
    EXPECT_TRUE(settings.IsLoaded());
}

TEST_F(DocumentTest, NestedNotificationsKeepTheOrder) {
    CProbeView parts(doc, "parts", log), plib(doc, "plib", log), info(doc, "info", log);
    doc.OnNewDocument();
    // The library list selects its row while it updates, and tells the others.
    plib.onUpdate = [&] {
        plib.onUpdate = nullptr;
        doc.UpdateAllViews(&plib);
    };
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"parts:update+pending", "plib:update+pending",
                                             "parts:update<plib", "info:update+pending<plib",
                                             "info:update"}));
}

TEST_F(DocumentTest, AViewThatGoesAwayIsNoLongerCalled) {
    CProbeView a(doc, "a", log);
    auto b = std::make_unique<CProbeView>(doc, "b", log);
    CProbeView c(doc, "c", log);
    doc.OnNewDocument();
    // a destroys b in the middle of a notification.
    a.onUpdate = [&] { b.reset(); };
    doc.UpdateAllViews(nullptr);
    EXPECT_EQ(log, (std::vector<std::string>{"a:update+pending", "c:update+pending"}));
    EXPECT_EQ(doc.Views().size(), 2u);
}

TEST_F(DocumentTest, ReloadIsRefusedWhileABuildRuns) {
    CProbeView a(doc, "a", log);
    doc.OnNewDocument();
    doc.SendInitialUpdate();
    log.clear();
    doc.BeginBusy();
    EXPECT_FALSE(doc.Reload());
    EXPECT_TRUE(log.empty());
    doc.EndBusy();
    EXPECT_TRUE(doc.Reload());
}

// Counts the events it hears; may leave the document while hearing one.
class CProbeListener : public CDocListener {
public:
    explicit CProbeListener(CQurixDoc& doc) : doc_(doc) { doc_.AddListener(this); }
    ~CProbeListener() override { doc_.RemoveListener(this); }
    void OnLoaded() override { ++loads; }
    void OnCloseAfterBusy() override {
        ++closes;
        if (leave) leave();
    }
    int loads = 0;
    int closes = 0;
    std::function<void()> leave;

private:
    CQurixDoc& doc_;
};

TEST_F(DocumentTest, ACloseDuringABuildWaitsForItsEnd) {
    CProbeListener first(doc);
    CProbeListener second(doc);
    doc.OnNewDocument();
    EXPECT_EQ(first.loads, 1);
    EXPECT_EQ(second.loads, 1);
    doc.BeginBusy();
    doc.BeginBusy();
    doc.RequestClose();
    EXPECT_TRUE(doc.CloseRequested());
    doc.EndBusy();
    EXPECT_EQ(first.closes, 0);
    doc.EndBusy();
    EXPECT_EQ(first.closes, 1);
    EXPECT_EQ(second.closes, 1);
    // Unbalanced ends do nothing more.
    doc.EndBusy();
    EXPECT_EQ(first.closes, 1);
    EXPECT_FALSE(doc.IsBusy());
}

TEST_F(DocumentTest, AListenerMayRemoveAnotherWhileHearing) {
    CProbeListener first(doc);
    auto second = std::make_unique<CProbeListener>(doc);
    first.leave = [&] { second.reset(); };
    doc.BeginBusy();
    doc.RequestClose();
    doc.EndBusy();
    EXPECT_EQ(first.closes, 1);
    EXPECT_EQ(second, nullptr);
}

// The message is the window's text; the path comes as the window shows paths.
TEST(SettingsProblemTextTest, NamesTheFileAsTheWindowShowsIt) {
    const CProfile profile("C:\\x\\KIVOX.INI");
    EXPECT_EQ(SettingsProblemText(profile, "shown"), "設定を保存できません: shown");
    EXPECT_EQ(SettingsProblemText(profile), "設定を保存できません: C:\\x\\KIVOX.INI");
}

// Records what the document asks of the window system.
class CProbeHost : public CUiHost {
public:
    void BeginWait() override { log.push_back("wait"); }
    void EndWait() override { log.push_back("done"); }
    void ShowStatus(const std::string& text) override { log.push_back(text); }
    void Post(std::function<void()> task) override { task(); }
    std::vector<std::string> log;
};

TEST_F(DocumentTest, LoadsShowTheWaitCursorAndTellOfFailedLibraries) {
    CProbeHost host;
    doc.SetHost(&host);
    doc.OnNewDocument();
    EXPECT_EQ(host.log, (std::vector<std::string>{"wait", "done"}));
    host.log.clear();
    // Two configured libraries that are not there.
    CQurixDoc failing(settings,
                      CProfile(std::string(QURIX_SOURCE_DIR) + "/tests/palette/data/missing.ini"),
                      std::string(QURIX_SOURCE_DIR) + "/tests/palette/data/");
    failing.SetHost(&host);
    failing.OnNewDocument();
    ASSERT_EQ(failing.Problems().size(), 2u);
    EXPECT_EQ(host.log,
              (std::vector<std::string>{"wait", "2 個のライブラリを読み込めませんでした", "done"}));
    doc.SetHost(nullptr);
    doc.ShowStatus("nobody hears this");
}

}  // namespace
}  // namespace qurix
