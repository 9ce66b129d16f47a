#include "settings/control_states.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "text/codepage.h"
#include "text/system_texts.h"

namespace pw {
namespace {

enum class Stored { Tag, EditText, Check, SelectedIndex };

struct KindWord {
    std::string_view word;
    Stored stored;
};

// Tested in this order; the first word a name begins with decides.
constexpr KindWord kKindWords[] = {
    {"按钮", Stored::Tag},     {"编辑框", Stored::EditText},      {"选择框", Stored::Check},
    {"单选框", Stored::Check}, {"组合框", Stored::SelectedIndex},
};

struct Participant {
    const std::string& name;
    Stored stored;
    Text key;
    bool asBytes;  // the text goes to a side file
};

bool listed(const std::vector<std::string>& list, std::string_view name) {
    return std::find(list.begin(), list.end(), name) != list.end();
}

// Calls `visit` for every control that takes part, in window order.
template <class Visit>
void walkControls(Form& form, const ControlSkips& skips, Visit&& visit) {
    const Text noSave = lit(texts::kTagNoSave);
    const Text asBytes = lit(texts::kTagAsBytes);
    for (const std::string& name : form.controlNames()) {
        form.processEvents();
        if (name.empty() || listed(skips.names, name)) continue;
        const auto kind = std::find_if(std::begin(kKindWords), std::end(kKindWords),
                                       [&](const KindWord& k) { return name.starts_with(k.word); });
        if (kind == std::end(kKindWords)) continue;
        const Text tag = form.tag(name);
        if (tag == noSave || listed(skips.containers, form.containerOf(name))) continue;
        // A combo box the user types into keeps its text, as an edit box does.
        const Stored stored = kind->stored == Stored::SelectedIndex && form.editable(name)
                                  ? Stored::EditText
                                  : kind->stored;
        const bool textKind = stored == Stored::Tag || stored == Stored::EditText;
        const std::string key =
            stored == Stored::Tag ? name + std::string(texts::kTagKeySuffix) : name;
        visit(Participant{name, stored, fromUtf8(key), textKind && tag == asBytes});
    }
}

void selectIfNamed(SettingsStore& store, const Text& section) {
    if (!section.empty()) store.selectSection(section);
}

int toIndex(double number) {
    if (!(number >= -1 && number <= INT_MAX)) return -1;
    return int(std::trunc(number));
}

}  // namespace

bool saveControls(SettingsStore& store, Form& form, const Text& section,
                  const ControlSkips& skips) {
    selectIfNamed(store, section);
    const uint64_t failuresBefore = store.failures();
    {
        SettingsStore::Batch batch(store);
        walkControls(form, skips, [&](const Participant& c) {
            switch (c.stored) {
                case Stored::Tag:
                case Stored::EditText: {
                    const Text value =
                        c.stored == Stored::Tag ? form.tag(c.name) : form.text(c.name);
                    c.asBytes ? store.writeBytes(c.key, value) : store.writeText(c.key, value);
                    break;
                }
                case Stored::Check:
                    store.writeFlag(c.key, form.checked(c.name));
                    break;
                case Stored::SelectedIndex:
                    store.writeNumber(c.key, form.selectedIndex(c.name));
                    break;
            }
        });
    }
    return store.commit() && store.failures() == failuresBefore;
}

void restoreControls(SettingsStore& store, Form& form, const Text& section,
                     const ControlSkips& skips) {
    selectIfNamed(store, section);
    walkControls(form, skips, [&](const Participant& c) {
        switch (c.stored) {
            case Stored::Tag:
            case Stored::EditText: {
                const bool tag = c.stored == Stored::Tag;
                const Text current = tag ? form.tag(c.name) : form.text(c.name);
                const Text value = c.asBytes ? bytesAsText(store.readBytes(c.key, current))
                                             : store.readText(c.key, current);
                tag ? form.setTag(c.name, value) : form.setText(c.name, value);
                break;
            }
            case Stored::Check:
                form.setChecked(c.name, store.readFlag(c.key, form.checked(c.name)));
                break;
            case Stored::SelectedIndex:
                form.setSelectedIndex(c.name,
                                      toIndex(store.readNumber(c.key, form.selectedIndex(c.name))));
                break;
        }
    });
}

}  // namespace pw
