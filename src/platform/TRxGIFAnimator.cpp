#include "platform/TRxGIFAnimator.h"

TRxGIFAnimator::TRxGIFAnimator(QWidget *parent, const Settings &settings) : QWidget(parent), m_settings(settings)
{
    setAttribute(Qt::WA_TranslucentBackground);
}
