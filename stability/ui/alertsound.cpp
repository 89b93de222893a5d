#include "alertsound.h"

#include <canberra.h>
#include <QApplication>

AlertSound::~AlertSound() {
    if (m_context) ca_context_destroy(m_context);
}

void AlertSound::play() {
    // The context is made on first use: most sessions never lose synchronism, and
    // opening the sound system costs time at start-up.
    if (!m_context && !m_contextFailed) {
        if (ca_context_create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            m_contextFailed = true;
        } else {
            ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Dravon", nullptr);
        }
    }
    const int played =
        m_context ? ca_context_play(m_context, 0, CA_PROP_EVENT_ID, "dialog-warning",
                                    CA_PROP_EVENT_DESCRIPTION, "Generator out of step", nullptr)
                  : CA_ERROR_INVALID;
    if (played != CA_SUCCESS) QApplication::beep();
}
