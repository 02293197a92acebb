#pragma once
// The levels of one running player: which level is shown, each level's
// folder and content list, the items of the lists read and which levels are
// built. Windows ask; only the moves below change them.
#include "screens/content_list.h"

#include <algorithm>
#include <array>

namespace orbino {

class AppState;

// Levels run from 1 (the main window) to kMaxLevel. The tables have one spare
// entry so that level kMaxLevel can name what the (refused) next level would use.
inline constexpr int kMaxLevel = 20;
inline constexpr int kMaxLines = 20;

class LevelModel {
public:
    explicit LevelModel(AppState& st) : m_st(st) {}
    LevelModel(const LevelModel&) = delete;
    LevelModel& operator=(const LevelModel&) = delete;

    int current() const { return m_current; }
    // Level 1 holds the pressed day's folder in its caption form ("__1._deň"),
    // the levels above the folder their lists lie in. Levels outside
    // 1..kMaxLevel + 1 read as the nearest one.
    const QString& folder(int level) const { return m_folder[index(level)]; }
    const QString& listFile(int level) const { return m_listFile[index(level)]; }
    bool built(int level) const { return m_built[index(level)]; }
    // The item line in `slot` (1..kMaxLines) of the list `level` shows, as
    // read; an empty, invalid item for a slot without one.
    const ContentItem& item(int level, int slot) const;

    // --- moves ---
    // The main window (its set-up, the main screen built again) is level 1.
    void showMain() { m_current = 1; }
    // A day press from the main screen opens level 2.
    void expectDay() {
        if (m_current == 1)
            m_current = 2;
    }
    // The pressed day: its folder in caption form and its root list as level 2.
    void chooseDay(const QString& dayFolderCaptionForm, const QString& rootList);
    // The list of `level` was read: its lines become parsed items. Until an
    // item is pressed, the next level points at the list's last item.
    void takeList(int level, const ContentList& list);
    // An item of `level` naming `reference`: the next level's list, in the
    // folder the day's items lie in.
    void chooseItem(int level, const QString& reference);
    // The next level's window opens: it becomes the current level.
    void enter(int level) { m_current = level; }
    // The window of `level` went: the level below is current again and the
    // level file says so.
    void leave(int level);
    // Level `level`'s screen is built (its window keeps it) or must be built anew.
    void setBuilt(int level, bool built) { m_built[index(level)] = built; }
    // The program ends: one level down, which counts as built (it is not
    // built again). Gives the level now current; 0, changing nothing, when
    // level 1 was current already.
    int unwindOne();
    // A place known from elsewhere (the content file given on the command
    // line): level 1 shows `listFile` in `folder`.
    void startAt(const QString& folder, const QString& listFile);
    // A state as an earlier run of the windows left it: `level` current, or
    // the place of `level`.
    void restore(int level) { m_current = level; }
    void restorePlace(int level, const QString& folder, const QString& listFile);

    // Works on `level` for a while (the lesson editor on a list not yet
    // opened); the current level comes back whatever happens.
    class Visit {
    public:
        Visit(LevelModel& m, int level) : m_model(m), m_back(m.m_current) { m.m_current = level; }
        ~Visit() { m_model.m_current = m_back; }
        Visit(const Visit&) = delete;
        Visit& operator=(const Visit&) = delete;

    private:
        LevelModel& m_model;
        int m_back;
    };

    // Level file: the current level as digits, no line end. Only written:
    // other copies sharing the learner's folder rewrite it, so no window
    // takes its own level from it. A folder that cannot be written is
    // reported once and otherwise ignored here.
    void ZapisUroven();

private:
    static size_t index(int level) { return size_t(std::clamp(level, 1, kMaxLevel + 1)); }

    AppState& m_st;
    int m_current = 1;
    std::array<QString, kMaxLevel + 2> m_folder{};
    std::array<QString, kMaxLevel + 2> m_listFile{};
    std::array<std::array<ContentItem, kMaxLines + 1>, kMaxLevel + 2> m_items{};
    std::array<bool, kMaxLevel + 2> m_built{};
};

} // namespace orbino
