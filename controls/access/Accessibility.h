#pragma once
// What a screen reader finds in the components that paint themselves: the skin button is a push
// button named by its caption that can be pressed, an effect label is text, the command label a
// link. The painting stays as it is.

// Makes the components known to Qt's accessibility; once, before the first window is shown.
void InstallAccessibility();
