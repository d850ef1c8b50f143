#include "dataset/xml/sax_handler.h"

Kt_SAXCtxHandler::~Kt_SAXCtxHandler() = default;
