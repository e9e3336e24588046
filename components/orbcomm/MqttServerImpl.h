#pragma once
// What a COrbMqttServer holds; the session object reads it when it links.
#include "COrbMqttServer.h"
#include "MqttConnection.h"
#include "MqttTransport.h"

struct COrbMqttServer::Impl {
  MqttTransport::Options options;
  MqttConnectionSettings connection;
};
