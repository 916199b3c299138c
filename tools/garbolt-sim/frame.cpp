#include "frame.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

#include "menu/menu_layout.h"

namespace garbolt_sim {

namespace {

using menu_layout::kCounterTop;
using menu_layout::kDescriptionY;
using menu_layout::kRowPitch;
using menu_layout::kRowTextTop;
using menu_layout::kSubtitleY;
using menu_layout::kTickTop;
using menu_layout::kTitleY;

bool Near(float a, float b) {
    return std::fabs(a - b) < 0.6f;
}

// The row whose text top is at y (given the row's first line), or -1.
int RowAt(float y, float top) {
    const float r = (y - top) / kRowPitch;
    const int row = static_cast<int>(std::lround(r));
    if (row < 0 || row > 40 || !Near(static_cast<float>(row) * kRowPitch + top, y)) {
        return -1;
    }
    return row;
}

bool ToInt(const std::string& text, int* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0') {
        return false;
    }
    *value = static_cast<int>(parsed);
    return true;
}

// The visible part of a text: the inline images read as short words.
std::string StripImages(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 4, "<img") == 0) {
            const std::size_t end = text.find("/>", i);
            if (end == std::string::npos) {
                break;
            }
            i = end + 2;
            continue;
        }
        out += text[i++];
    }
    while (!out.empty() && out.front() == ' ') {
        out.erase(out.begin());
    }
    while (!out.empty() && out.back() == ' ') {
        out.pop_back();
    }
    return out;
}

}  // namespace

float ReferenceX(const sim::DrawEntry& entry) {
    if (entry.kind == sim::DrawEntry::Kind::Sprite) {
        return entry.sprite.x * 1920.0f;
    }
    const sim::TextEntry& text = entry.text;
    if (text.alignment == "Right") {
        return 1920.0f - static_cast<float>(RightMargin(text));
    }
    if (text.alignment == "Center") {
        return (text.x + 1.0f) / 2.0f * 1920.0f;
    }
    return text.x * 1920.0f;
}

float ReferenceY(const sim::DrawEntry& entry) {
    return (entry.kind == sim::DrawEntry::Kind::Sprite ? entry.sprite.y : entry.text.y) * 1080.0f;
}

int RightMargin(const sim::TextEntry& text) {
    int margin = 0;
    return ToInt(text.rightMargin, &margin) ? margin : 0;
}

void TraceWatcher::Attach(sim::Game& game, bool keepTrace) {
    keepTrace_ = keepTrace;
    game.SetTraceObserver([this](const sim::TraceEvent& event) { OnEvent(event); });
}

void TraceWatcher::OnEvent(const sim::TraceEvent& event) {
    if (keepTrace_) {
        current_.trace.push_back(event);
    }
    if (event.kind == sim::TraceEvent::Kind::Misuse) {
        ++misuseCount_;
        current_.misuse.push_back(event);
    } else if (event.kind == sim::TraceEvent::Kind::Native && event.unknown) {
        ++unknownCount_;
        current_.unknown.push_back(event);
    }
}

FrameRecord TraceWatcher::TakeFrame() {
    FrameRecord record = std::move(current_);
    current_ = FrameRecord{};
    static_cast<sim::Observation&>(record) = sim::Observe();
    return record;
}

const MenuRow* MenuView::Row(int index) const {
    for (const MenuRow& row : rows) {
        if (row.index == index) {
            return &row;
        }
    }
    return nullptr;
}

MenuView ReadMenu(const sim::Observation& frame) {
    MenuView menu;
    std::map<int, MenuRow> byScreenRow;
    int shownRows = 0;
    for (const sim::DrawEntry& entry : frame.draws) {
        menu.open = true;
        if (entry.kind != sim::DrawEntry::Kind::Text) {
            continue;
        }
        const sim::TextEntry& draw = entry.text;
        const float y = ReferenceY(entry);
        const std::string text = sim::ShownText(draw);
        if (draw.alignment == "Center" && Near(y, kTitleY)) {
            menu.title = text;
        } else if (draw.alignment == "Center" && Near(y, kSubtitleY)) {
            menu.subtitle = text;
        } else if (draw.alignment == "Center" && Near(y, kDescriptionY)) {
            menu.description = text;
        } else if (draw.alignment == "Right" && draw.letterSpacing == -1 &&
                   text.find(" of ") != std::string::npos) {
            int current = 0, count = 0;
            const std::size_t of = text.find(" of ");
            if (ToInt(text.substr(0, of), &current) && ToInt(text.substr(of + 4), &count)) {
                menu.current = current - 1;
                menu.count = count;
                shownRows = std::max(0, RowAt(y, kCounterTop));
            }
        } else if (draw.alignment == "Right" &&
                   text.find("img://generic_textures/tick") != std::string::npos) {
            const int row = RowAt(y, kTickTop);
            if (row >= 0) {
                byScreenRow[row].ticked = true;
            }
        } else if (draw.alignment == "Right") {
            const int row = RowAt(y, kRowTextTop);
            if (row >= 0) {
                byScreenRow[row].value = StripImages(text);
            }
        } else {
            const int row = RowAt(y, kRowTextTop);
            if (row >= 0) {
                byScreenRow[row].label = text;
                byScreenRow[row].heading = draw.alignment == "Center";
            }
        }
    }
    if (!menu.open) {
        return menu;
    }
    static const std::map<std::string, int> kPageBySubtitle = {
        {"Change Clothes", 0}, {"Saved Custom Outfits", 1}, {"Preset Outfits", 2}, {"Settings", 3}};
    const auto page = kPageBySubtitle.find(menu.subtitle);
    menu.page = page != kPageBySubtitle.end() ? page->second : -1;
    if (shownRows <= 0) {
        shownRows = std::max(1, menu.count);
    }
    menu.firstShown = std::max(0, menu.current - shownRows + 1);
    for (auto& [screenRow, row] : byScreenRow) {
        row.index = menu.firstShown + screenRow;
        menu.rows.push_back(row);
    }
    return menu;
}

std::string RenderMenuText(const MenuView& menu) {
    std::ostringstream out;
    if (!menu.open) {
        out << "  (menu closed)\n";
        return out.str();
    }
    out << "  +-- " << menu.title << " -- " << menu.subtitle;
    if (menu.page >= 0) {
        out << " (page " << menu.page << ")";
    }
    out << "\n";
    for (const MenuRow& row : menu.rows) {
        const bool current = row.index == menu.current;
        out << "  | " << (current ? "> " : "  ");
        std::string line = row.heading ? "-- " + row.label + " --" : row.label;
        if (row.value) {
            line += "  < " + *row.value + " >";
        }
        if (row.ticked) {
            line += "  [x]";
        }
        out << line << "\n";
    }
    out << "  +-- " << (menu.current + 1) << " of " << menu.count;
    if (!menu.description.empty()) {
        out << " -- " << menu.description;
    }
    out << "\n";
    return out.str();
}

}  // namespace garbolt_sim
