// The window theme "Iceberg Classico": a style sheet kept as a resource of the
// executable. UI thread, once at start-up.
#pragma once

namespace ooa {

// Applies the theme to the application; false (and nothing changed) when the
// resource cannot be read.
bool ApplyTheme();

}  // namespace ooa
