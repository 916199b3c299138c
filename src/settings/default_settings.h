// The settings file as the first "Save Settings" writes it when there is
// none: every key explained in a comment, CR LF line ends, the defaults.
#pragma once

// Generated at build time from default_settings.ini, byte for byte.
extern const char kDefaultSettingsText[];
