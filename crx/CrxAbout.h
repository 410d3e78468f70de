#pragma once
class CWnd;
// The About box (application command 57664).
void CrxShowAbout(CWnd* parent);
