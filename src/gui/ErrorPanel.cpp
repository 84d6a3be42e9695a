#include "gui/ErrorPanel.h"

#include <algorithm>

namespace {

constexpr int padding = 5;
constexpr int border = 2;
// Row height and character width when there is no font (tools and tests).
constexpr int plainRowHeight = 10;
constexpr int plainCharWidth = 8;
const char* const title = "Script problems (click to dismiss)";

// Clears a rectangle of the target to a colour; the clipping rectangle limits the clear.
void fillRectangle(int x, int y, int w, int h, ALLEGRO_COLOR colour) {
    int cx, cy, cw, ch;
    al_get_clipping_rectangle(&cx, &cy, &cw, &ch);
    al_set_clipping_rectangle(x, y, w, h);
    al_clear_to_color(colour);
    al_set_clipping_rectangle(cx, cy, cw, ch);
}

} // namespace

void ErrorPanel::add(const std::string& message, const std::string& file) {
    messages_.push_back(message);
    files_.push_back(file);
    while (static_cast<int>(messages_.size()) > maxMessages) {
        messages_.pop_front();
        files_.pop_front();
    }
    layOut();
    shown_ = true;
}

void ErrorPanel::forget(const std::string& file) {
    bool dropped = false;
    for (std::size_t i = messages_.size(); i-- > 0;) {
        if (files_[i] != file)
            continue;
        messages_.erase(messages_.begin() + static_cast<std::ptrdiff_t>(i));
        files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(i));
        dropped = true;
    }
    if (!dropped)
        return;
    layOut();
    shown_ = shown_ && !messages_.empty();
}

void ErrorPanel::clear() {
    messages_.clear();
    files_.clear();
    layOut();
    shown_ = false;
}

int ErrorPanel::textWidth(const std::string& text) const {
    if (!font_)
        return static_cast<int>(text.size()) * plainCharWidth;
    return al_get_text_width(font_, text.c_str());
}

// Greedy wrapping: a row ends at its last blank when there is one, or where the width ends.
void ErrorPanel::wrapInto(const std::string& message, std::vector<std::string>& rows) const {
    const int room = width - 2 * padding;
    std::string rest = message;
    while (!rest.empty()) {
        std::size_t fit = 1;
        while (fit < rest.size() && textWidth(rest.substr(0, fit + 1)) <= room)
            ++fit;
        if (fit < rest.size()) {
            const std::size_t blank = rest.rfind(' ', fit);
            if (blank != std::string::npos && blank > 0)
                fit = blank + 1;
        }
        std::string row = rest.substr(0, fit);
        while (!row.empty() && row.back() == ' ')
            row.pop_back();
        rows.push_back(row);
        rest = rest.substr(fit);
    }
}

void ErrorPanel::setFont(ALLEGRO_FONT* font) {
    font_ = font;
    layOut();
}

void ErrorPanel::layOut() {
    std::vector<std::string> body;
    for (const std::string& message : messages_)
        wrapInto(message, body);
    if (static_cast<int>(body.size()) > maxRows - 1)
        body.erase(body.begin(), body.end() - (maxRows - 1));
    rows_.assign(1, title);
    rows_.insert(rows_.end(), body.begin(), body.end());
}

int ErrorPanel::height() const {
    const int rowHeight = font_ ? al_get_font_line_height(font_) : plainRowHeight;
    return static_cast<int>(rows().size()) * rowHeight + 2 * padding;
}

bool ErrorPanel::contains(float x, float y) const {
    return shown_ && left <= x && x < left + width && top <= y && y < top + height();
}

void ErrorPanel::draw(ALLEGRO_BITMAP* target) const {
    if (!shown_ || !target)
        return;
    al_set_target_bitmap(target);
    const int h = height();
    fillRectangle(left, top, width, h, al_map_rgb(200, 60, 50));
    fillRectangle(left + border, top + border, width - 2 * border, h - 2 * border,
                  al_map_rgb(36, 20, 20));
    if (!font_)
        return;
    const int rowHeight = al_get_font_line_height(font_);
    int y = top + padding;
    bool first = true;
    for (const std::string& row : rows()) {
        const ALLEGRO_COLOR colour = first ? al_map_rgb(255, 200, 120) : al_map_rgb(240, 240, 240);
        al_draw_text(font_, colour, static_cast<float>(left + padding), static_cast<float>(y), 0,
                     row.c_str());
        y += rowHeight;
        first = false;
    }
}
