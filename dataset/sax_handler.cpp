#include "dataset/sax_handler.h"

Kt_SAXCtxHandler::~Kt_SAXCtxHandler() = default;
