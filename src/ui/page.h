#pragma once

namespace sequaflow::ui {

// What the main window asks of each of its pages; a page keeps its own rules here instead of in the window.
class Page {
public:
    virtual ~Page() = default;
    // Whether the user may go to another page now (a page may ask first).
    virtual bool canLeave() { return true; }
    // The page has just become the current one.
    virtual void shown() {}
    // The language changed: texts the page composes itself are built again.
    virtual void languageChanged() {}

protected:
    Page() = default;
    Page(const Page&) = default;
    Page& operator=(const Page&) = default;
};

}  // namespace sequaflow::ui
