# SPDX-License-Identifier: GPL-3.0-or-later
# The program scaled up on a large screen: every window drawn at twice its size.
if(TEST tst_scaled)
    set_property(TEST tst_scaled APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
endif()
