// SettingsStore: to be written.
