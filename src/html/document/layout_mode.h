#pragma once

namespace quirelle {

// The structure of to_html output: nested logical sections, or one section
// per page.
enum class LayoutMode { Section, Page };

}  // namespace quirelle
