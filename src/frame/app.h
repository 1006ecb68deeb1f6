// The library's application object.
//
// Exactly one RErIriduVud exists: built when the library is loaded, destroyed
// when it is unloaded. It adds nothing to CWinApp but its run-time class and
// an empty message map that chains to CWinApp's; InitInstance and
// ExitInstance are CWinApp's own. Loading builds this object and nothing else.
#pragma once

#include <zuvuvur/afx/afx.h>

class RErIriduVud : public CWinApp {
    DECLARE_DYNAMIC(RErIriduVud)
  public:
    RErIriduVud() noexcept;
    ~RErIriduVud() override;

    DECLARE_MESSAGE_MAP()
};
