#include "screens/level_model.h"

#include "app/app_state.h"
#include "platform/errors.h"
#include "platform/textfile.h"

namespace orbino {

const ContentItem& LevelModel::item(int level, int slot) const {
    static const ContentItem none;
    if (slot < 0 || slot > kMaxLines)
        return none;
    return m_items[index(level)][size_t(slot)];
}

void LevelModel::chooseDay(const QString& dayFolderCaptionForm, const QString& rootList) {
    m_folder[1] = dayFolderCaptionForm;
    m_folder[2] = AppState::folderNameRule(dayFolderCaptionForm);
    m_listFile[2] = rootList;
}

void LevelModel::takeList(int level, const ContentList& list) {
    auto& items = m_items[index(level)];
    for (int i = 0; i <= kMaxLines; ++i)
        items[size_t(i)] =
            i <= kContentSlots ? parseItemLine(list.lines[size_t(i)]) : ContentItem{};
    const QList<int> itemSlots = walkContentList(list).itemSlots;
    if (!itemSlots.isEmpty())
        chooseItem(level, items[size_t(itemSlots.last())].reference);
}

void LevelModel::chooseItem(int level, const QString& reference) {
    const size_t next = index(std::max(level + 1, 2));
    m_listFile[next] = reference;
    m_folder[next] = AppState::folderNameRule(m_folder[1]);
}

void LevelModel::leave(int level) {
    m_current = level - 1;
    ZapisUroven();
}

int LevelModel::unwindOne() {
    if (m_current <= 1)
        return 0;
    --m_current;
    m_built[index(m_current)] = true;
    return m_current;
}

void LevelModel::startAt(const QString& folder, const QString& listFile) {
    m_current = 1;
    m_listFile[1] = listFile;
    m_folder[1] = folder;
}

void LevelModel::restorePlace(int level, const QString& folder, const QString& listFile) {
    m_folder[index(level)] = folder;
    m_listFile[index(level)] = listFile;
}

void LevelModel::ZapisUroven() {
    try {
        writeFileAtomic(m_st.levelFile(), QByteArray::number(m_current), Flush::Scratch);
    } catch (const FileError& e) {
        m_st.reportTempFolderUnwritable(e);
    }
}

} // namespace orbino
