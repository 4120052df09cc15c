// The target that builds the precompiled header the Qt-free tests share.
