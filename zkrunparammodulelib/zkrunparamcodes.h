// Result codes of the run-parameter library (0 is success).
#pragma once

enum ZKRunParamCode {
  ZK_RUNPARAM_NO_PAYLOAD = 3101,            // no hand-over in the environment
  ZK_RUNPARAM_PAYLOAD_UNREADABLE = 3102,    // the hand-over could not be read into its buffer
  ZK_RUNPARAM_NO_ARGUMENT = 3205,           // the command line has no such argument
  ZK_RUNPARAM_KEY_ROOM = 3203,              // too little room for a key or an argument
  ZK_RUNPARAM_MISSING_TEXT = 3202,          // no text to copy
  ZK_RUNPARAM_INVALID = 5001,               // NULL object, path, key, payload or buffer; an empty name
  ZK_RUNPARAM_OUT_OF_MEMORY = 5002,         // a module or a buffer could not be allocated
  ZK_RUNPARAM_NOT_REGISTERED = 5004,        // the object has no module
  ZK_RUNPARAM_BAD_PAYLOAD = 5005,           // a group line without its end, an entry without '='
  ZK_RUNPARAM_NO_KEY = 5006,                // no key given and none on the command line
  ZK_RUNPARAM_NO_GROUP = 5007,              // a group could not be found or created
  ZK_RUNPARAM_ALREADY_REGISTERED = 5101,    // the object has a module already
  ZK_RUNPARAM_ENTRY_NOT_ALLOCATED = 5102,   // an entry could not be allocated
  ZK_RUNPARAM_VALUE_NOT_STORED = 5103,      // a value could not be stored
  ZK_RUNPARAM_ENTRY_NOT_INSERTED = 5104,    // a new entry could not be inserted
  ZK_RUNPARAM_ENTRY_NOT_WRITTEN = 5107,     // an entry does not fit the payload buffer
  ZK_RUNPARAM_PAYLOAD_FULL = 5108,          // the payload buffer is full
  ZK_RUNPARAM_ENV_NOT_SET = 5109,           // an environment variable could not be set
  ZK_RUNPARAM_LAUNCH_FAILED = 5110,         // the program could not be started
  ZK_RUNPARAM_CIPHER_INIT_FAILED = 5301,    // the Triple-DES module refused the key
  ZK_RUNPARAM_ENCRYPT_FAILED = 5302,        // encryption failed
  ZK_RUNPARAM_DECRYPT_FAILED = 5303,        // wrong key, damaged or incomplete hex text, bad padding
  ZK_RUNPARAM_OUTPUT_TOO_SMALL = 5304,      // the buffer cannot hold the decrypted text
};
