#include "CPaintDC.h"

CPaintDC::~CPaintDC() {
    if (m_hWnd) ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}
