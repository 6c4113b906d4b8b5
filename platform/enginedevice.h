// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPaintDevice>
#include <QPaintEngine>
#include <QSize>

#include <climits>
#include <cmath>

/// A paint device with no pixels of its own, of a fixed size and resolution: what is painted on
/// it goes to the engine it was given (the metafile writer's records, or the text a page draws).
class EngineDevice : public QPaintDevice
{
public:
    /// The engine must outlive the device; it may be a member of a class derived from this one.
    EngineDevice(QSize size, int dotsPerInch, int depth, QPaintEngine &engine)
        : m_size(size), m_dotsPerInch(dotsPerInch), m_depth(depth), m_engine(&engine)
    {
    }
    QPaintEngine *paintEngine() const override { return m_engine; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return m_size.width();
        case PdmHeight:
            return m_size.height();
        case PdmWidthMM:
            return int(std::lround(m_size.width() * 25.4 / m_dotsPerInch));
        case PdmHeightMM:
            return int(std::lround(m_size.height() * 25.4 / m_dotsPerInch));
        case PdmNumColors:
            return INT_MAX;
        case PdmDepth:
            return m_depth;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return m_dotsPerInch;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return int(QPaintDevice::devicePixelRatioFScale());
        }
        return 0;
    }

private:
    QSize m_size;
    int m_dotsPerInch;
    int m_depth;
    QPaintEngine *m_engine;
};
